#include "TrChildProcess.h"
#include "TrReportLines.h"
#include "TrTestPaths.h"

#include <gtest/gtest.h>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}
}

TEST (ChecksBench, TheWireReportsLineForLine)
{
    const auto r = TrTest::runTestrig ({ "--bench-checks", bundle ("TestrigFixture") });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    const auto lines = TrTest::reportLines (r.output);
    ASSERT_EQ (lines.size(), 9) << r.output;
    EXPECT_EQ (lines[0], "plugin:      TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "rate:        48000 Hz");
    EXPECT_EQ (lines[2], "latency:     reported 0 -> 0 smp, measured 0.0 smp");
    EXPECT_TRUE (lines[3].startsWith ("bypass null: -") && lines[3].endsWith (" dB  (honest bypass)")) << lines[3];
    EXPECT_EQ (lines[4], "polarity:    normal");
    EXPECT_EQ (lines[5], "DC (signal): -240.0 dBFS");
    EXPECT_EQ (lines[6], "DC (idle):   -240.0 dBFS");
    EXPECT_EQ (lines[7], "self-noise:  silent (< -140 dBFS)");
    EXPECT_EQ (lines[8], "verdict:     Honest plugin: latency, bypass, polarity, DC and noise all check out");
}

TEST (ChecksBench, DishonestFixturesAreFlaggedInOrder)
{
    const struct
    {
        const char* fixture;
        juce::String latencyLine;
        juce::String verdict;
    } cases[] {
        { "TestrigLyingLatency", "latency:     reported 0 -> 0 smp, measured 512.0 smp  (!) reported != measured",
          "verdict:     One problem: lies about its delay" },
        { "TestrigDriftingLatency", "latency:     reported 512 -> 612 smp, measured 512.0 smp  (!) drifts after audio  (!) reported != measured",
          "verdict:     2 problems: lies about its delay, changes its reported delay after audio starts" },
        { "TestrigFarDelay", "latency:     reported 70000 -> 70000 smp, measured 65535.0 smp  (!) at search limit - true latency may be larger", "" },
        { "TestrigColouringBypass", "latency:     reported 0 -> 0 smp, measured 0.0 smp", "verdict:     One problem: its bypass still colors the sound" },
        { "TestrigHiss", "latency:     reported 0 -> 0 smp, measured 0.0 smp", "verdict:     One problem: makes noise on pure silence" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig ({ "--bench-checks", bundle (c.fixture) });
        ASSERT_EQ (r.exitStatus, 0) << r.output;
        const auto lines = TrTest::reportLines (r.output);
        ASSERT_EQ (lines.size(), 9) << r.output;
        EXPECT_EQ (lines[2], c.latencyLine) << c.fixture;
        if (c.verdict.isNotEmpty())
        {
            EXPECT_EQ (lines[8], c.verdict) << c.fixture;
        }
    }

    const auto colouring = TrTest::runTestrig ({ "--bench-checks", bundle ("TestrigColouringBypass") });
    EXPECT_TRUE (colouring.output.contains ("  (!) bypass colors the signal\n")) << colouring.output;
    const auto hiss = TrTest::runTestrig ({ "--bench-checks", bundle ("TestrigHiss") });
    EXPECT_TRUE (hiss.output.contains ("\nself-noise:  -80.")) << hiss.output;
}

TEST (ChecksBench, ARealPluginReportsItsLatency)
{
    const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-checks", "/usr/lib/vst3/ZaMaximX2.vst3" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    EXPECT_TRUE (r.output.contains ("\nlatency:     reported 480 -> 480 smp, measured 480.0 smp\n"))
        << "zam-plugins' ZaMaximX2 looks ahead 480 samples and reports it\n" << r.output;
    EXPECT_TRUE (r.output.contains ("\nbypass null: no bypass parameter exposed\n")) << r.output;
}

TEST (CheckupBench, FourVerdictLinesAndFailuresOnlyInTheVerdicts)
{
    const auto wire = TrTest::runTestrig ({ "--bench-checkup", bundle ("TestrigFixture") });
    ASSERT_EQ (wire.exitStatus, 0) << wire.output;
    auto lines = TrTest::reportLines (wire.output);
    ASSERT_EQ (lines.size(), 6) << wire.output;
    EXPECT_EQ (lines[0], "plugin:   TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "rate:     48000 Hz");
    EXPECT_EQ (lines[2], "overall:  Clean, honest and light - safe on anything");
    EXPECT_TRUE (lines[3].startsWith ("  sound:  Transparent: adds practically no distortion")) << lines[3];
    EXPECT_TRUE (lines[4].startsWith ("  tone:   Does not change the tone - flat response")) << lines[4];
    EXPECT_EQ (lines[5], "  honest: Honest plugin: latency, bypass, polarity, DC and noise all check out");

    const auto failing = TrTest::runTestrig ({ "--bench-checkup", bundle ("TestrigNaN") });
    ASSERT_EQ (failing.exitStatus, 1) << "a failed measurement is no success";
    lines = TrTest::reportLines (failing.output);
    ASSERT_EQ (lines.size(), 6) << failing.output;
    EXPECT_EQ (lines[2], "overall:  Measurement failed");
    EXPECT_EQ (lines[3], "  sound:  Measurement failed - plugin produced non-finite output (NaN/inf)");

    const auto real = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-checkup", "/usr/lib/vst3/ZamCompX2.vst3" });
    EXPECT_EQ (real.exitStatus, 0) << real.output;
    EXPECT_EQ (TrTest::reportLines (real.output).size(), 6) << real.output;
}

TEST (DynamicsBench, RunsAgreeOrTheReportSaysTheyDoNot)
{
    const auto good = TrTest::runTestrig ({ "--bench-dyn", bundle ("TestrigCompressor") });
    ASSERT_EQ (good.exitStatus, 0) << good.output;
    auto lines = TrTest::reportLines (good.output);
    ASSERT_EQ (lines.size(), 4) << good.output;
    EXPECT_TRUE (lines[0].startsWith ("run 1:  thresh -20.00 dB  ratio 4.00:1  knee ")) << lines[0];
    EXPECT_TRUE (lines[0].contains (" dB  makeup 2.000 dB  attack 20.0 ms  release 1")) << lines[0];
    EXPECT_EQ (lines[1], "burst:  -32.0 -> -8.0 dBFS (auto)");
    EXPECT_TRUE (lines[2].startsWith ("run 2:  ")) << lines[2];
    EXPECT_EQ (lines[3], "CONSISTENT across runs");

    const auto sticky = TrTest::runTestrig ({ "--bench-dyn", bundle ("TestrigStickyCompressor"), "--runs", "2" });
    EXPECT_EQ (sticky.exitStatus, 2) << sticky.output;
    EXPECT_TRUE (sticky.output.endsWith ("INCONSISTENT across runs - plugin state does not reset cleanly\n")) << sticky.output;

    const auto sidechain = TrTest::runTestrig ({ "--bench-dyn", bundle ("TestrigSidechain"), "--sc", "--runs", "1", "--burst", "-10" });
    ASSERT_EQ (sidechain.exitStatus, 0) << sidechain.output;
    lines = TrTest::reportLines (sidechain.output);
    ASSERT_EQ (lines.size(), 3) << "--runs 1 runs once: " << sidechain.output;
    EXPECT_EQ (lines[1], "burst:  -30.0 -> -10.0 dBFS  via ext sidechain");
}

TEST (ChecksBench, AnAllPassNetworksReportIsHeldAgainstTheRangeOfItsGroupDelays)
{
    // Eight all-passes at 8 kHz: no delay in front, but even its fastest band arrives some 7
    // samples late and its slowest some 28.
    const auto chain = "Mode=" + juce::String (TrTest::fixtureMode ("All-pass chain"), 9);
    const auto reports = [] (int samples) {
        return juce::StringArray { "Latency report=0.5", "Latency offset=" + juce::String ((samples - TrFixtureModes::offsetMin)
                                                                                            / double (TrFixtureModes::offsetMax - TrFixtureModes::offsetMin), 9) };
    };
    const auto with = [&] (juce::StringArray params, const juce::StringArray& more) {
        params.addArray (more);
        return params;
    };
    const struct
    {
        const char* label;
        juce::StringArray params;
        juce::String verdictStart;
    } cases[] {
        { "reporting a figure within its spread", with ({ chain }, reports (20)),
          "verdict:     No problems found, but its delay could not be verified - its phase spreads the arrival from " },
        { "reporting none, though no band arrives that early", { chain }, "verdict:     One problem: lies about its delay" },
        { "reporting more than its slowest band", with ({ chain }, reports (500)), "verdict:     One problem: lies about its delay" },
        { "behind a hidden 100-sample delay", with ({ chain, "Delay=" + juce::String (100.0 / TrFixtureModes::delayMax, 12) }, reports (-100)),
          "verdict:     One problem: lies about its delay" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray args { "--bench-checks", bundle ("TestrigFixture") };
        for (const auto& p : c.params)
            args.addArray ({ "--param", p });
        const auto r = TrTest::runTestrig (args);
        ASSERT_EQ (r.exitStatus, 0) << r.output;
        const auto lines = TrTest::reportLines (r.output);
        EXPECT_TRUE (lines[lines.size() - 1].startsWith (c.verdictStart)) << c.label << "\n" << r.output;
    }
}

TEST (DynamicsBench, ErrorsExitOne)
{
    const struct
    {
        juce::StringArray args;
        juce::String output;
    } cases[] {
        { { "--bench-dyn" }, "usage: TESTRIG --bench-dyn <path> [--runs n] [--sc] [--burst db|auto] [--sr rate]\n" },
        { { "--bench-dyn", bundle ("TestrigCompressor"), "--sc" }, "error (run 1): plugin has no sidechain input bus\n" },
        { { "--bench-dyn", bundle ("TestrigMono"), "--sc" }, "error (run 1): plugin has no sidechain input bus\n" },
        { { "--bench-dyn", bundle ("TestrigNoInput") }, "error: TESTRIG Fixture has no audio input (0 in / 2 out) - there is nothing to send a test signal into\n" },
        { { "--bench-dyn", bundle ("TestrigNaN") }, "error (run 1): plugin produced non-finite output (NaN/inf)\n" },
        { { "--bench-dyn", bundle ("TestrigCompressor"), "--runs", "21" }, "error: --runs must be from 1 to 20, got 21\n" },
        { { "--bench-dyn", bundle ("TestrigCompressor"), "--runs", "0" }, "error: --runs must be from 1 to 20, got 0\n" },
        { { "--bench-dyn", bundle ("TestrigCompressor"), "--burst", "loud" }, "error: --burst must be a level in dB or auto, got loud\n" },
        { { "--bench-checks" }, "usage: TESTRIG --bench-checks <path> [--sr rate]\n" },
        { { "--bench-checkup" }, "usage: TESTRIG --bench-checkup <path> [--sr rate]\n" },
        { { "--bench-checkup", "/nonexistent.vst3" }, "error: File not found: /nonexistent.vst3\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.output);
    }
}

TEST (DynamicsBench, RealCompressorsFromDebianReportConsistently)
{
    for (const juce::String plugin : { "/usr/lib/vst3/ZamCompX2.vst3", "/usr/lib/lv2/ZamCompX2.lv2" })
    {
        const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-dyn", plugin });
        ASSERT_EQ (r.exitStatus, 0) << plugin << "\n" << r.output;
        const auto lines = TrTest::reportLines (r.output);
        ASSERT_EQ (lines.size(), 4) << r.output;
        EXPECT_TRUE (lines[0].startsWith ("run 1:  thresh ")) << lines[0];
        EXPECT_TRUE (lines[1].startsWith ("burst:  ")) << lines[1];
        EXPECT_EQ (lines[3], "CONSISTENT across runs");
    }
}
