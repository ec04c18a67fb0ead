#pragma once

#include "TrModeSyntax.h"

#include <map>

/** The options of one bench mode as read from the command line, checked against its syntax.
    The list is walked from the start: the mode flag takes the plugin path(s) after it, an option
    its value; a later occurrence wins (a repeatable option keeps them all). The first thing that
    does not fit - an option the mode does not take, a value that is missing or not a number, a
    stray word, an option where a plugin path should stand - is the problem, and reading stops. */
class TrBenchArgs final
{
public:
    TrBenchArgs (const juce::StringArray& args, const TrModeSyntax& syntax);

    /** What is wrong with the command line, as one sentence naming the argument, or empty. */
    juce::String problem() const { return wrong; }

    /** The plugin path in the given place after the mode flag, or empty when none was given. */
    juce::String path (int which = 0) const;

    bool has (const juce::String& option) const;

    /** The option's last value, or empty when absent. */
    juce::String text (const juce::String& option) const;

    /** The option's value as a number (already checked), or the fallback when absent. */
    double number (const juce::String& option, double fallback) const;

    /** The option's value as a whole number (already checked), or the fallback when absent. */
    int integer (const juce::String& option, int fallback) const;

    /** Every value of a repeatable option, in order. */
    juce::StringArray all (const juce::String& option) const;

private:
    juce::String read (const juce::StringArray& args, const TrModeSyntax& syntax);

    juce::StringArray paths;
    std::map<juce::String, juce::StringArray> values;
    juce::String wrong;
};
