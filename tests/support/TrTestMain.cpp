#include "ui/UxFonts.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>
#include <iostream>

namespace
{
/** Fails the run when a fixture plugin or the test double saw its host break a strict format's
    rules during a test (a block over the prepared size, a prepare or state call off the message
    thread or during processing); names the test and what was seen. Fixtures loaded by child
    processes report to the same log. */
class StrictHostWatch final : public ::testing::EmptyTestEventListener
{
public:
    explicit StrictHostWatch (juce::File logFile) : log (std::move (logFile)) {}

    void OnTestEnd (const ::testing::TestInfo& test) override
    {
        const auto seen = log.loadFileAsString();
        if (seen.isEmpty())
            return;
        log.deleteFile();
        failed = true;
        std::cout << "strict host: " << test.test_suite_name() << "." << test.name() << " broke a plugin format's rules:\n"
                  << seen << std::flush;
    }

    bool failed = false;

private:
    const juce::File log;
};
}

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

    const auto strictLog = home.getChildFile ("strict-host.log");
    auto* watch = deathTestChild ? nullptr : new StrictHostWatch (strictLog);
    if (watch != nullptr)
    {
        setenv ("TESTRIG_STRICT_HOST_LOG", strictLog.getFullPathName().toRawUTF8(), 1);
        ::testing::UnitTest::GetInstance()->listeners().Append (watch);
    }

    // Death tests re-run this binary for the dying case instead of forking a process with threads.
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    // Behave as the application does, not as a plugin: JUCE then installs its X error handlers,
    // which a window manager-less Xvfb needs.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

    const auto result = [watch] {
        juce::ScopedJuceInitialiser_GUI juce;
        const auto failed = RUN_ALL_TESTS() != 0 || (watch != nullptr && watch->failed);
        // As the application does at shutdown: no typeface may outlive the framework.
        UxFonts::release();
        return failed;
    }();
    if (! deathTestChild)
        home.deleteRecursively();
    return result;
}
