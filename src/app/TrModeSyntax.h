#pragma once

#include <juce_core/juce_core.h>

/** What one headless mode takes on its command line: how many plugin paths follow its flag,
    its options by the kind of value they take, and the lines that tell a user how to call it. */
struct TrModeSyntax
{
    juce::String flag;
    int paths = 1;
    juce::StringArray numbers;    // a decimal number
    juce::StringArray integers;   // a whole number
    juce::StringArray texts;      // any text
    std::vector<std::pair<juce::String, juce::StringArray>> choices; // one of the listed words
    juce::StringArray repeatable; // any text; every occurrence is kept, in order
    juce::StringArray switches;   // no value
    juce::String usage;           // printed when a plugin path is missing
    juce::String synopsis;        // the mode and its options, as --help and the README show them
    juce::String purpose;         // what the mode answers
};

namespace TrModeSyntaxes
{
    /** Every headless mode that takes options, in the order --help lists them. */
    const std::vector<TrModeSyntax>& all();

    /** The syntax of a mode flag; every flag of the table has one. */
    const TrModeSyntax& of (const juce::String& flag);

    /** Whether any mode takes this option. */
    bool isKnownOption (const juce::String& option);

    /** What --help prints. */
    juce::String helpText();
}
