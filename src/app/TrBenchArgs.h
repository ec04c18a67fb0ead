#pragma once

#include <juce_core/juce_core.h>

#include <map>

/** The options of one bench mode as read from the command line. The list is walked from the
    start: an argument equal to a known option takes the next argument as its value (empty when
    none follows) and both are consumed; everything else is ignored; a later occurrence wins. */
class TrBenchArgs final
{
public:
    TrBenchArgs (const juce::StringArray& args, const juce::StringArray& knownOptions);

    /** As above, where each paired option takes the next two arguments as its values. */
    TrBenchArgs (const juce::StringArray& args, const juce::StringArray& knownOptions, const juce::StringArray& pairedOptions);

    bool has (const juce::String& option) const;

    /** The option's value (for a paired option, its first or second), or empty when absent. */
    juce::String text (const juce::String& option, int which = 0) const;

    /** The leading decimal number of the value (0 when there is none), or the fallback when the
        option is absent. */
    double number (const juce::String& option, double fallback) const;

    /** The value read as the C library's atoi does, or the fallback when the option is absent. */
    int integer (const juce::String& option, int fallback) const;

    /** Every value of a repeatable option, in order. */
    juce::StringArray all (const juce::String& option) const;

private:
    std::map<juce::String, std::vector<juce::StringArray>> values;
};
