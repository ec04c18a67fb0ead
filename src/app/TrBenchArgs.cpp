#include "TrBenchArgs.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
bool looksLikeOption (const juce::String& word)
{
    return word.startsWith ("--");
}

bool parseNumber (const juce::String& text, double& value)
{
    const auto number = TrNumberFormat::read (text);
    value = number.value_or (value);
    return number.has_value();
}

bool parseInteger (const juce::String& text, int& value)
{
    double number = 0.0;
    if (! parseNumber (text, number) || number != std::floor (number) || std::abs (number) > 1e9)
        return false;

    value = static_cast<int> (number);
    return true;
}

const juce::StringArray* choicesOf (const TrModeSyntax& syntax, const juce::String& option)
{
    for (const auto& choice : syntax.choices)
        if (choice.first == option)
            return &choice.second;

    return nullptr;
}
}

TrBenchArgs::TrBenchArgs (const juce::StringArray& args, const TrModeSyntax& syntax)
{
    for (int i = 0; i < syntax.paths; ++i)
        paths.add ({});

    wrong = read (args, syntax);
}

juce::String TrBenchArgs::read (const juce::StringArray& args, const TrModeSyntax& syntax)
{
    for (int i = 0; i < args.size(); ++i)
    {
        const auto& word = args[i];

        if (word == syntax.flag)
        {
            for (int p = 0; p < syntax.paths && i + 1 < args.size(); ++p)
            {
                if (looksLikeOption (args[i + 1]))
                    return syntax.flag + " takes a plugin path first, got the option " + args[i + 1];
                paths.set (p, args[++i]);
            }
            continue;
        }

        if (syntax.switches.contains (word))
        {
            values[word].add ({});
            continue;
        }

        const auto* choices = choicesOf (syntax, word);
        const auto takesValue = choices != nullptr || syntax.numbers.contains (word) || syntax.integers.contains (word)
                             || syntax.texts.contains (word) || syntax.repeatable.contains (word);
        if (! takesValue)
        {
            double number = 0.0;
            if (word.startsWith ("-") && ! parseNumber (word, number))
                return TrModeSyntaxes::isKnownOption (word) || word.startsWith ("--bench") || word == "--list-params"
                         ? word + " is not an option of " + syntax.flag
                         : "unknown option " + word;
            return "unexpected argument " + word + " - the plugin path goes right after " + syntax.flag;
        }

        if (i + 1 >= args.size())
            return word + " needs a value";
        const auto& value = args[++i];
        if (looksLikeOption (value))
            return word + " needs a value, got the option " + value;

        double number = 0.0;
        int whole = 0;
        if (syntax.numbers.contains (word) && ! parseNumber (value, number))
            return word + " must be a number, got " + value;
        if (syntax.integers.contains (word) && ! parseInteger (value, whole))
            return word + " must be a whole number, got " + value;
        if (choices != nullptr && ! choices->contains (value))
            return word + " must be " + choices->joinIntoString (" or ") + ", got " + value;

        if (! syntax.repeatable.contains (word))
            values[word].clear();
        values[word].add (value);
    }

    return {};
}

juce::String TrBenchArgs::path (int which) const
{
    return paths[which];
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
    double value = fallback;
    return has (option) && parseNumber (text (option), value) ? value : fallback;
}

int TrBenchArgs::integer (const juce::String& option, int fallback) const
{
    int value = fallback;
    return has (option) && parseInteger (text (option), value) ? value : fallback;
}

juce::StringArray TrBenchArgs::all (const juce::String& option) const
{
    const auto found = values.find (option);
    return found == values.end() ? juce::StringArray() : found->second;
}
