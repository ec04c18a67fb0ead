#pragma once

#include <juce_core/juce_core.h>

/** The headless modes and how the command line picks one. */
namespace TrModeDispatch
{
    /** A headless mode: takes the whole argument list, prints its report, returns the exit status. */
    using ModeFunction = int (*) (const juce::StringArray& args);

    struct Mode
    {
        const char* flag;
        ModeFunction run;
    };

    /** Every mode flag in the order that decides between them when several are present. */
    const std::vector<Mode>& modes();

    /** The first mode of the table whose flag equals a whole argument exactly (case-sensitive),
        or nullptr for windowed use. */
    const Mode* findMode (const juce::StringArray& args);

    /** Whether the mode hosts plugins (every mode but help and version). */
    bool loadsPlugins (const Mode& mode);

    /** Whether a process started with this command-line text may run beside another instance. */
    bool allowsSeveralInstances (const juce::String& commandLineText);

    /** Runs a headless mode; an exception escaping it prints an "error: " line and gives status 1. */
    int runGuarded (const Mode& mode, const juce::StringArray& args);
}
