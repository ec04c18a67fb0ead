#include "app/TrDynamicsBench.h"
#include "app/TrHarmonicsBench.h"
#include "app/TrHelp.h"
#include "app/TrHonestyBench.h"
#include "app/TrListParams.h"
#include "app/TrModeDispatch.h"
#include "app/TrPerfBench.h"
#include "app/TrResponseBench.h"

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

TEST (ModeDispatch, EachFlagRunsItsOwnModeAndTheFixedOrderDecidesBetweenFlags)
{
    const struct
    {
        juce::StringArray args;
        TrModeDispatch::ModeFunction expected;
    } cases[] {
        { { "--bench", "x.vst3" }, runHarmonicsBenchMode },
        { { "--bench-curve", "x.vst3" }, runCurveBenchMode },
        { { "--bench-null", "a.vst3", "b.vst3" }, runNullBenchMode },
        { { "--bench-dyn", "x.vst3" }, runDynamicsBenchMode },
        { { "--bench-thd", "x.vst3" }, runThdBenchMode },
        { { "--bench-imd", "x.vst3" }, runImdBenchMode },
        { { "--bench-perf", "x.vst3" }, runPerfBenchMode },
        { { "--bench-checkup", "x.vst3" }, runCheckupBenchMode },
        { { "--bench-checks", "x.vst3" }, runChecksBenchMode },
        { { "--list-params", "x.vst3" }, runListParamsMode },
        // Several flags: the earlier in the fixed order wins, wherever it stands.
        { { "--bench-curve", "x.vst3", "--bench" }, runHarmonicsBenchMode },
        { { "--list-params", "x.vst3", "--bench-checks", "--bench-checkup" }, runCheckupBenchMode },
        { { "--bench-perf", "--bench-imd", "x.vst3" }, runImdBenchMode },
        { { "--bench-thd", "--bench-dyn" }, runDynamicsBenchMode },
        { { "--bench-null", "--bench-curve" }, runCurveBenchMode },
        { { "--bench-checks", "--list-params" }, runChecksBenchMode },
        // Help and version answer whatever else is asked.
        { { "--bench", "x.vst3", "--help" }, runHelpMode },
        { { "-h", "--bench-null" }, runHelpMode },
        { { "--list-params", "--version" }, runVersionMode },
    };

    for (const auto& c : cases)
    {
        const auto* mode = TrModeDispatch::findMode (c.args);
        ASSERT_NE (mode, nullptr) << c.args.joinIntoString (" ");
        EXPECT_EQ (mode->run, c.expected) << c.args.joinIntoString (" ");
    }
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
        { "--help", true },
        { "-h", true },
        { "--version", true },
        { "/home/me/my-help/x.vst3", false },
        { "--helpful", false },
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
