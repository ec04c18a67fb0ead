#include "ui/UxFonts.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>

int main (int argc, char** argv)
{
    // Read before gtest takes its own options out of the arguments.
    bool deathTestChild = false;
    for (int i = 1; i < argc; ++i)
        deathTestChild = deathTestChild || juce::String (argv[i]).startsWith ("--gtest_internal_run_death_test");

    ::testing::InitGoogleTest (&argc, argv);

    // No test, nor any TESTRIG it starts, reads or writes the user's own settings. A death
    // test's re-run of this binary keeps the home folder of the run that started it.
    const auto home = deathTestChild ? juce::File()
                                     : juce::File::createTempFile ("").getSiblingFile ("testrig-test-home-" + juce::String (juce::Random().nextInt (1 << 30)));
    if (! deathTestChild)
    {
        home.createDirectory();
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    }

    // Death tests re-run this binary for the dying case instead of forking a process with threads.
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    // Behave as the application does, not as a plugin: JUCE then installs its X error handlers,
    // which a window manager-less Xvfb needs.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

    const auto result = [] {
        juce::ScopedJuceInitialiser_GUI juce;
        const auto failed = RUN_ALL_TESTS();
        // As the application does at shutdown: no typeface may outlive the framework.
        UxFonts::release();
        return failed;
    }();
    if (! deathTestChild)
        home.deleteRecursively();
    return result;
}
