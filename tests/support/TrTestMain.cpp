#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Death tests re-run this binary for the dying case instead of forking a process with threads.
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    // Behave as the application does, not as a plugin: JUCE then installs its X error handlers,
    // which a window manager-less Xvfb needs.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
