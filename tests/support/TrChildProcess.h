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
        Standard error is discarded; the names in removedEnvironment are taken out of the
        environment and the "NAME=value" entries of addedEnvironment put in. */
    ChildResult runChild (const juce::File& program, const juce::StringArray& args, double timeoutSeconds = 120.0,
                          const juce::StringArray& removedEnvironment = {}, const juce::StringArray& addedEnvironment = {});

    /** Runs the TESTRIG executable with these arguments. */
    ChildResult runTestrig (const juce::StringArray& args, double timeoutSeconds = 120.0);

    /** The Debian package (zam-plugins, x42-plugins) a plugin among the arguments comes from when
        it is not installed; empty when all are there. */
    juce::String missingDebianPackage (const juce::StringArray& args);

    /** Runs TESTRIG on plugins nobody here wrote; without their package installed it runs
        nothing and says which package is missing (exit status -1). Under the leak checker their own leaks are
        not ours to report (they allocate inside modules the host unloads before the check, where
        no suppression can name them), so the child runs without it; the same code paths run with
        it on the fixture plugins. */
    ChildResult runTestrigOnThirdPartyPlugin (const juce::StringArray& args, double timeoutSeconds = 120.0);

    /** A started program that is killed when the test leaves its scope, also through a failed
        assertion: a TESTRIG window left running would take over the next test's launch. */
    class OwnedProcess final : public juce::ChildProcess
    {
    public:
        ~OwnedProcess() { kill(); }
    };
}
