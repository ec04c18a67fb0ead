#include "TrChildProcess.h"
#include "TrReportLines.h"
#include "TrTestPaths.h"

#include <gtest/gtest.h>

TEST (PerfBench, TheReportReadsLineForLine)
{
    const auto r = TrTest::runTestrig ({ "--bench-perf", TrTest::fixture ("TestrigFixture").getFullPathName(), "--seconds", "0.1" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;

    const auto lines = TrTest::reportLines (r.output);
    ASSERT_EQ (lines.size(), 15) << r.output;
    EXPECT_EQ (lines[0], "plugin:   TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "rate:     48000 Hz - mean block wall time, incl host dispatch");
    EXPECT_EQ (lines[2], "  block   ns/smp   p95 ns/smp   % realtime");

    const int sizes[] { 32, 64, 128, 256, 512, 1024 };
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_TRUE (lines[3 + i].startsWith ("  " + juce::String (sizes[i]).paddedLeft (' ', 5) + "  ")) << lines[3 + i];
        EXPECT_EQ (lines[3 + i].length(), 2 + 5 + 2 + 7 + 2 + 11 + 2 + 9) << lines[3 + i];
    }

    EXPECT_TRUE (TrTest::numbersIn (lines[9], "per sample:      {} ns  (true per-sample cost, sweep slope)").has_value()) << lines[9];
    EXPECT_TRUE (TrTest::numbersIn (lines[10], "per block:       {} us  (fixed dispatch: host wrapper + plugin bookkeeping)").has_value()) << lines[10];
    EXPECT_TRUE (TrTest::numbersIn (lines[11], "worst 512 block: {} ms").has_value()) << lines[11];
    EXPECT_TRUE (TrTest::numbersIn (lines[12], "denormal ratio:  {} x").has_value()) << lines[12];
    EXPECT_EQ (lines[13], "latency:         0 smp");
    EXPECT_TRUE (lines[14].startsWith ("verdict:         ")) << lines[14];
}

TEST (PerfBench, TheDenormalFixtureIsFlaggedInTheReport)
{
    const auto r = TrTest::runTestrig ({ "--bench-perf", TrTest::fixture ("TestrigDenormal").getFullPathName(), "--seconds", "0.25" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;

    const auto lines = TrTest::reportLines (r.output);
    ASSERT_EQ (lines.size(), 15) << r.output;
    EXPECT_TRUE (lines[12].endsWith (" x  (!) CPU rises on silence - denormal trouble")) << lines[12];
    EXPECT_TRUE (lines[14].startsWith ("verdict:         CPU explodes when the audio stops (denormal bug) - ")) << lines[14];
}

TEST (PerfBench, UsageAndBadSecondsExitOne)
{
    const auto bundle = TrTest::fixture ("TestrigFixture").getFullPathName();
    const struct
    {
        juce::StringArray args;
        juce::String output;
    } cases[] {
        { { "--bench-perf" }, "usage: TESTRIG --bench-perf <path> [--sr rate] [--seconds n]\n" },
        { { "--bench-perf", bundle, "--seconds", "61" }, "error: --seconds must be above 0 and at most 60 seconds, got 61\n" },
        { { "--bench-perf", bundle, "--seconds", "1e6" }, "error: --seconds must be above 0 and at most 60 seconds, got 1e+06\n" },
        { { "--bench-perf", bundle, "--seconds", "0" }, "error: --seconds must be above 0 and at most 60 seconds, got 0\n" },
        { { "--bench-perf", bundle, "--seconds", "-1" }, "error: --seconds must be above 0 and at most 60 seconds, got -1\n" },
        { { "--bench-perf", bundle, "--sr", "0" }, "error: --sr must be between 8000 and 384000 Hz, got 0\n" },
        { { "--bench-perf", TrTest::fixture ("TestrigNaN").getFullPathName(), "--seconds", "0.25" },
          "error: plugin produced non-finite output (NaN/inf)\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.output);
    }
}

TEST (PerfBench, ARealPluginFromDebianReportsInFull)
{
    const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-perf", "/usr/lib/vst3/ZamCompX2.vst3", "--seconds", "0.25" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    const auto lines = TrTest::reportLines (r.output);
    ASSERT_EQ (lines.size(), 15) << r.output;
    EXPECT_EQ (lines[0], "plugin:   ZamCompX2 (VST3)");
}
