#include "TrBenchArgs.h"

#include <cstdlib>

TrBenchArgs::TrBenchArgs (const juce::StringArray& args, const juce::StringArray& knownOptions)
{
    for (int i = 0; i < args.size(); ++i)
    {
        if (! knownOptions.contains (args[i]))
            continue;

        values[args[i]].add (i + 1 < args.size() ? args[i + 1] : juce::String());
        ++i;
    }
}

bool TrBenchArgs::has (const juce::String& option) const
{
    return values.count (option) > 0;
}

juce::String TrBenchArgs::text (const juce::String& option) const
{
    const auto found = values.find (option);
    return found == values.end() ? juce::String() : found->second[found->second.size() - 1];
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
    const auto found = values.find (option);
    return found == values.end() ? juce::StringArray() : found->second;
}
