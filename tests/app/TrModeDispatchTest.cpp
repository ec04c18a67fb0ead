#include "app/TrModeDispatch.h"

#include <gtest/gtest.h>

#include <iostream>
#include <new>

TEST (ModeDispatch, AFlagMustBeAWholeArgumentInExactCase)
{
    const struct
    {
        juce::StringArray args;
        const char* expected; // nullptr: windowed
    } cases[] {
        { {}, nullptr },
        { { "--list-params", "x.vst3" }, "--list-params" },
        { { "x.vst3", "--list-params" }, "--list-params" },
        { { "--list-params=x.vst3" }, nullptr },
        { { "--LIST-PARAMS", "x.vst3" }, nullptr },
        { { "--list-param" }, nullptr },
        { { " --list-params" }, nullptr },
    };

    for (const auto& c : cases)
    {
        const auto* mode = TrModeDispatch::findMode (c.args);
        const auto label = c.args.joinIntoString (" ");

        EXPECT_STREQ (mode != nullptr ? mode->flag : nullptr, c.expected) << label;
    }
}

TEST (ModeDispatch, TheTableOrderDecidesNotTheCommandLine)
{
    const juce::StringArray order { "--bench", "--bench-curve", "--bench-null", "--bench-dyn", "--bench-thd", "--bench-imd",
                                    "--bench-perf", "--bench-checkup", "--bench-checks", "--list-params" };

    // With every flag present but the first i, the i-th wins, wherever it stands.
    for (int i = 0; i < order.size(); ++i)
    {
        juce::StringArray args;
        for (int j = order.size() - 1; j >= i; --j)
            args.add (order[j]);

        const auto* mode = TrModeDispatch::findMode (args);
        ASSERT_NE (mode, nullptr);
        EXPECT_EQ (juce::String (mode->flag), order[i]);
    }

    EXPECT_STREQ (TrModeDispatch::findMode ({ "--bench-curve", "x.vst3", "--bench" })->flag, "--bench");
}

TEST (ModeDispatch, TheTableHasNoDuplicateFlags)
{
    juce::StringArray seen;
    for (const auto& mode : TrModeDispatch::modes())
    {
        EXPECT_FALSE (seen.contains (mode.flag)) << mode.flag;
        seen.add (mode.flag);
    }
}

TEST (ModeDispatch, HeadlessCommandLinesMayRunBesideOtherInstances)
{
    const struct
    {
        const char* commandLine;
        bool allowed;
    } cases[] {
        { "", false },
        { "--list-params x.vst3", true },
        { "--bench-curve x.vst3", true },
        { "--bench=1", true },      // the window opens, but a second instance is allowed
        { "--BENCH", false },
        { "plugin.vst3", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrModeDispatch::allowsSeveralInstances (c.commandLine), c.allowed) << c.commandLine;
}

TEST (ModeDispatch, AnExceptionEscapingAModeBecomesAnErrorLineAndStatusOne)
{
    const struct
    {
        TrModeDispatch::ModeFunction run;
        const char* printed;
    } cases[] {
        { [] (const juce::StringArray&) -> int { throw std::bad_alloc(); }, "error: out of memory\n" },
        { [] (const juce::StringArray&) -> int { throw std::runtime_error ("broken"); }, "error: broken\n" },
        { [] (const juce::StringArray&) -> int { throw 42; }, "error: unexpected failure\n" },
    };

    for (const auto& c : cases)
    {
        std::ostringstream captured;
        auto* previous = std::cout.rdbuf (captured.rdbuf());
        const auto status = TrModeDispatch::runGuarded ({ "--test", c.run }, {});
        std::cout.rdbuf (previous);

        EXPECT_EQ (status, 1) << c.printed;
        EXPECT_EQ (captured.str(), c.printed);
    }
}
