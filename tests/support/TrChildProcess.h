#pragma once

#include <juce_core/juce_core.h>

namespace TrTest
{
    /** How a child process ended and what it printed to standard output. */
    struct ChildResult
    {
        juce::String output;
        int exitStatus = -1;  // -1 when it did not exit normally
        int signal = 0;       // the signal that ended it, 0 when it exited
        bool timedOut = false;
    };

    /** Runs a program to its end (killing it after timeoutSeconds) and collects its output.
        Standard error is discarded; extraEnvironment entries ("NAME=value") are added, and
        names listed in removedEnvironment are taken out. */
    ChildResult runChild (const juce::File& program, const juce::StringArray& args, double timeoutSeconds = 120.0,
                          const juce::StringArray& removedEnvironment = {});

    /** Runs the TESTRIG executable with these arguments. */
    ChildResult runTestrig (const juce::StringArray& args, double timeoutSeconds = 120.0);
}
