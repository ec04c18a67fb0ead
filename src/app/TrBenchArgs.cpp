#include "TrBenchArgs.h"

#include <cstdlib>

TrBenchArgs::TrBenchArgs (const juce::StringArray& args, const juce::StringArray& knownOptions)
    : TrBenchArgs (args, knownOptions, {})
{
}

TrBenchArgs::TrBenchArgs (const juce::StringArray& args, const juce::StringArray& knownOptions,
                          const juce::StringArray& pairedOptions)
{
    for (int i = 0; i < args.size(); ++i)
    {
        const auto paired = pairedOptions.contains (args[i]);
        if (! paired && ! knownOptions.contains (args[i]))
            continue;

        juce::StringArray occurrence;
        for (int v = 1; v <= (paired ? 2 : 1); ++v)
            occurrence.add (i + v < args.size() ? args[i + v] : juce::String());

        values[args[i]].push_back (occurrence);
        i += occurrence.size();
    }
}

bool TrBenchArgs::has (const juce::String& option) const
{
    return values.count (option) > 0;
}

juce::String TrBenchArgs::text (const juce::String& option, int which) const
{
    const auto found = values.find (option);
    return found == values.end() ? juce::String() : found->second.back()[which];
}

double TrBenchArgs::number (const juce::String& option, double fallback) const
{
    return has (option) ? text (option).getDoubleValue() : fallback;
}

int TrBenchArgs::integer (const juce::String& option, int fallback) const
{
    return has (option) ? std::atoi (text (option).toRawUTF8()) : fallback;
}

juce::StringArray TrBenchArgs::all (const juce::String& option) const
{
    juce::StringArray every;
    const auto found = values.find (option);
    if (found != values.end())
        for (const auto& occurrence : found->second)
            every.add (occurrence[0]);

    return every;
}
