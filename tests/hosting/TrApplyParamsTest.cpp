#include "TrFakePlugin.h"
#include "hosting/TrApplyParams.h"

#include <gtest/gtest.h>

#include <iostream>

namespace
{
/** Captures what a call prints to standard output. */
template <typename Fn>
std::string captureOutput (Fn&& fn)
{
    std::ostringstream captured;
    auto* previous = std::cout.rdbuf (captured.rdbuf());
    fn();
    std::cout.rdbuf (previous);
    return captured.str();
}

const juce::StringArray names { "Mix", "Output Gain", "3", "gain", "Drive" };
}

TEST (ApplyParams, AssignmentsFindTheirParameterByIndexNameOrSubstring)
{
    struct Case
    {
        const char* assignment;
        int expectedIndex;
        float expectedValue;
        const char* printed;
    };

    // Parameters: [0] Mix, [1] Output Gain, [2] 3, [3] gain, [4] Drive
    const Case cases[] {
        { "0=0.25", 0, 0.25f, "set [0] Mix = 0.25\n" },
        { "3=0.5", 2, 0.5f, "set [2] 3 = 0.50\n" },           // the name "3" comes before index 3
        { "GAIN=0.75", 3, 0.75f, "set [3] gain = 0.75\n" },   // whole name, case ignored, before the substring
        { "  Drive  = 0.125", 4, 0.125f, "set [4] Drive = 0.12\n" },
        { "mi=1", 0, 1.0f, "set [0] Mix = 1.00\n" },          // substring, second pass
        { "drive=2", 4, 1.0f, "set [4] Drive = 1.00\n" },     // clamped above
        { "drive=-3", 4, 0.0f, "set [4] Drive = 0.00\n" },    // clamped below
        { "Mix=abc", 0, 0.0f, "set [0] Mix = 0.00\n" },       // no number reads as 0
        { "Mix=nan", 0, 0.0f, "set [0] Mix = 0.00\n" },
        { "Mix", 0, 0.0f, "set [0] Mix = 0.00\n" },           // no "=": whole text is the name, value 0
        { "Mix=0.5=0.9", 0, 0.5f, "set [0] Mix = 0.50\n" },   // split at the first "="
    };

    for (const auto& c : cases)
    {
        TrTest::FakePlugin plugin (names);
        plugin.getParameters()[c.expectedIndex]->setValue (0.6f);

        const auto printed = captureOutput ([&] { applyParams (plugin, { c.assignment }); });

        EXPECT_EQ (printed, c.printed) << c.assignment;
        EXPECT_FLOAT_EQ (plugin.getParameters()[c.expectedIndex]->getValue(), c.expectedValue) << c.assignment;
    }
}

TEST (ApplyParams, ANameOnlyReachesASubstringMatchWhenNoWholeNameOrIndexMatches)
{
    TrTest::FakePlugin plugin ({ "Output Gain", "Input Gain" });
    const auto printed = captureOutput ([&] { applyParams (plugin, { "gain=0.5", "1=0.25" }); });

    EXPECT_EQ (printed, "set [0] Output Gain = 0.50\nset [1] Input Gain = 0.25\n");
}

TEST (ApplyParams, UnknownNamesAreReportedAndTheRestStillApplied)
{
    TrTest::FakePlugin plugin (names);
    const auto printed = captureOutput ([&] { applyParams (plugin, { "Nothing=1", "Mix=0.5", "7=1" }); });

    EXPECT_EQ (printed, "param not found: Nothing\nset [0] Mix = 0.50\nparam not found: 7\n");
    EXPECT_FLOAT_EQ (plugin.getParameters()[0]->getValue(), 0.5f);
}

TEST (ApplyParams, ThePluginSettlesOnFiftyBlocksOfSilence)
{
    TrTest::FakePlugin plugin (names);
    captureOutput ([&] { applyParams (plugin, {}); });

    EXPECT_EQ (plugin.processCalls.load(), 50);
    EXPECT_EQ (plugin.largestBlock.load(), 512);
    EXPECT_EQ (plugin.channelsSeen.load(), 2);
    EXPECT_FALSE (plugin.heardSound.load());
}
