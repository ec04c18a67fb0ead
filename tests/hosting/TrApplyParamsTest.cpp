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
        { "Drive=0", 4, 0.0f, "set [4] Drive = 0.00\n" },
    };

    for (const auto& c : cases)
    {
        TrTest::FakePlugin plugin (names);
        plugin.getParameters()[c.expectedIndex]->setValue (0.6f);

        juce::String problem;
        const auto printed = captureOutput ([&] { problem = applyParams (plugin, { c.assignment }); });

        EXPECT_EQ (problem, "") << c.assignment;
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

TEST (ApplyParams, AWrongAssignmentIsTheProblemAndNothingIsSet)
{
    const juce::String outOfRange = ": the value must be the normalised position from 0 to 1 (--list-params shows each one beside its plain value)";
    const struct
    {
        const char* assignment;
        juce::String problem;
    } cases[] {
        { "Nothing=1", "--param Nothing=1: no parameter named Nothing (--list-params shows them)" },
        { "7=1", "--param 7=1: no parameter named 7 (--list-params shows them)" },
        { "=0.5", "--param =0.5: no parameter named  (--list-params shows them)" },
        { "Mix", "--param Mix: give name=value" },
        { "drive=2", "--param drive=2" + outOfRange },
        { "drive=-3", "--param drive=-3" + outOfRange },
        { "Mix=abc", "--param Mix=abc" + outOfRange },
        { "Mix=nan", "--param Mix=nan" + outOfRange },
        { "Mix=", "--param Mix=" + outOfRange },
        { "Mix=0.5=0.9", "--param Mix=0.5=0.9" + outOfRange },
    };

    for (const auto& c : cases)
    {
        TrTest::FakePlugin plugin (names);
        juce::String problem;
        // The good assignment before the wrong one is not set either.
        const auto printed = captureOutput ([&] { problem = applyParams (plugin, { "Drive=0.25", c.assignment }); });

        EXPECT_EQ (problem, c.problem) << c.assignment;
        EXPECT_EQ (printed, "") << c.assignment;
        EXPECT_FLOAT_EQ (plugin.getParameters()[4]->getValue(), 0.0f) << c.assignment;
        EXPECT_EQ (plugin.processCalls.load(), 0) << c.assignment;
    }

    TrTest::FakePlugin plugin (names);
    EXPECT_TRUE (applyParams (plugin, { "Nothing=1" }, "--paramB").startsWith ("--paramB Nothing=1: "));
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
