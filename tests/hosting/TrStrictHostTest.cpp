#include "TrFakePlugin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace
{
/** This test breaks the rules on purpose: what it recorded must not fail the run. */
void forgetRecordedViolations()
{
    if (const auto* path = std::getenv ("TESTRIG_STRICT_HOST_LOG"))
        juce::File (juce::String::fromUTF8 (path)).deleteFile();
}

}

TEST (StrictHost, RecordsWhatAStrictFormatForbidsAndNothingElse)
{
    juce::AudioBuffer<float> block (2, 512);
    juce::MidiBuffer midi;

    {
        TrTest::FakePlugin plugin;
        plugin.prepareToPlay (48000.0, 512);
        plugin.processBlock (block, midi);
        plugin.setStateInformation (nullptr, 0);
        EXPECT_EQ (plugin.strictHost.violations(), 0) << plugin.strictHost.firstViolation();
    }
    {
        TrTest::FakePlugin plugin;
        plugin.prepareToPlay (48000.0, 256);
        plugin.processBlock (block, midi);
        EXPECT_EQ (plugin.strictHost.violations(), 1);
        EXPECT_EQ (plugin.strictHost.firstViolation(), "a block of 512 samples after preparing for 256");
    }
    {
        TrTest::FakePlugin plugin;
        std::thread other ([&] { plugin.prepareToPlay (48000.0, 512); });
        other.join();
        EXPECT_EQ (plugin.strictHost.firstViolation(), "prepareToPlay off the message thread");
    }
    {
        // A state call while another thread is inside processBlock.
        TrTest::FakePlugin plugin;
        plugin.prepareToPlay (48000.0, 512);
        std::atomic<bool> inside { false }, release { false };
        plugin.onProcess = [&] (juce::AudioBuffer<float>&) {
            inside = true;
            while (! release)
                juce::Thread::sleep (1);
        };
        std::atomic<bool> done { false };
        juce::Thread::launch ([&] {
            juce::AudioBuffer<float> b (2, 512);
            juce::MidiBuffer m;
            plugin.processBlock (b, m);
            done = true;
        });
        while (! inside)
            juce::Thread::sleep (1);
        plugin.setStateInformation (nullptr, 0);
        release = true;
        while (! done)
            juce::Thread::sleep (1);
        EXPECT_EQ (plugin.strictHost.firstViolation(), "setStateInformation while processing");
    }
    forgetRecordedViolations();
}
