#include "TrChildProcess.h"
#include "TrTestPaths.h"
#include "app/TrLiveBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}

/** The CSV path is fixed: runs of the release and the sanitizer suites take turns on it. */
struct CsvTurn
{
    CsvTurn() { EXPECT_TRUE (lock.enter (600000)); }
    ~CsvTurn() { lock.exit(); }
    juce::InterProcessLock lock { "testrig_live_vs_sweep_csv" };
};

/** The CSV row whose live frequency is nearest 1 kHz: live dB, sweep dB. */
std::pair<double, double> rowAt1k (const juce::StringArray& rows)
{
    double best = 1e9, live = 0.0, sweep = 0.0;
    for (int i = 1; i < rows.size(); ++i)
    {
        const auto fields = juce::StringArray::fromTokens (rows[i], ",", "");
        if (std::abs (fields[0].getDoubleValue() - 1000.0) < best)
        {
            best = std::abs (fields[0].getDoubleValue() - 1000.0);
            live = fields[1].getDoubleValue();
            sweep = fields[2].getDoubleValue();
        }
    }
    return { live, sweep };
}
}

TEST (LiveBench, TheLiveCurveAgreesWithTheSweepAndBothGoToTheCsv)
{
    const struct
    {
        const char* label;
        juce::String plugin;
        juce::StringArray params;
        double gainAt1k;
        int latency;
    } cases[] {
        { "wire", bundle ("TestrigFixture"), {}, 0.0, 0 },
        { "peaking EQ", bundle ("TestrigFixture"), { "--param", "Mode=" + juce::String (TrTest::fixtureMode ("Peak EQ"), 6) }, 6.0, 0 },
        { "37 samples of latency", bundle ("TestrigLatency37"), {}, 0.0, 37 },
    };
    CsvTurn turn;
    for (const auto& c : cases)
    {
        const juce::File csv (TrLiveBench::csvPath);
        csv.deleteFile();
        auto args = juce::StringArray { "--bench-live", c.plugin, "--seconds", "1.5" };
        args.addArray (c.params);
        const auto r = TrTest::runTestrig (args);
        ASSERT_EQ (r.exitStatus, 0) << c.label << "\n" << r.output;

        juce::StringArray lines;
        lines.addLines (r.output);
        const auto starts = std::count (lines.begin(), lines.end(), juce::String ("[TESTRIG] curve live START: window = 4096 samples (85.3333 ms at 48000 Hz)"));
        EXPECT_EQ (starts, 1) << c.label << ": one start, no restart\n" << r.output;
        EXPECT_TRUE (lines.contains ("latency:     reported " + juce::String (c.latency) + " smp, live-measured " + juce::String (c.latency)
                                     + ".0 smp (whole excitation periods of 4096 smp as reported)")) << r.output;
        EXPECT_TRUE (lines.contains ("wrote /tmp/testrig_live_vs_sweep.csv")) << r.output;

        const auto text = csv.loadFileAsString();
        EXPECT_EQ (text.upToFirstOccurrenceOf ("\r\n", false, false), "freqHz,liveDb,sweepDb");
        EXPECT_EQ (text.length() - text.replace ("\r\n", "").length(), 2 * 1025) << "1 + 1024 lines, each ended by CR LF";
        juce::StringArray rows;
        rows.addTokens (text.trimEnd(), "\r\n", "");
        rows.removeEmptyStrings();
        ASSERT_EQ (rows.size(), 1025) << c.label;

        const auto [live, sweep] = rowAt1k (rows);
        EXPECT_NEAR (live, c.gainAt1k, 0.2) << c.label;
        EXPECT_NEAR (live, sweep, 0.2) << c.label << ": the sweep's value at the live frequency";
    }
}

TEST (LiveBench, BadCommandLinesAndAnUnwritableCsvFailWithStatusOne)
{
    CsvTurn turn;
    const struct
    {
        juce::StringArray args;
        const char* output;
    } cases[] {
        { { "--bench-live" }, "usage: TESTRIG --bench-live <path> [--seconds n] [--level db] [--sr rate]" },
        { { "--bench-live", bundle ("TestrigFixture"), "--seconds", "100000" }, "error: --seconds must be at most 600 seconds, got 100000" },
        { { "--bench-live", "/nowhere/Missing.vst3" }, "error: " },
    };
    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_TRUE (r.output.startsWith (c.output)) << r.output;
    }

    // The file's place taken by a folder: the failure is said, not "wrote".
    const juce::File csv (TrLiveBench::csvPath);
    csv.deleteRecursively();
    ASSERT_TRUE (csv.createDirectory());
    const auto r = TrTest::runTestrig ({ "--bench-live", bundle ("TestrigFixture"), "--seconds", "1" });
    csv.deleteRecursively();
    EXPECT_EQ (r.exitStatus, 1) << r.output;
    EXPECT_TRUE (r.output.contains ("error: could not write /tmp/testrig_live_vs_sweep.csv")) << r.output;
    EXPECT_FALSE (r.output.contains ("wrote ")) << r.output;
}

TEST (LiveBench, TheSweepIsReadAtTheLiveFrequenciesAndJudgedOnThem)
{
    const std::vector<float> sweepHz { 100.0f, 1000.0f, 10000.0f };
    const std::vector<float> sweepDb { 0.0f, 10.0f, 0.0f };
    const auto at = TrLiveBench::resample (sweepHz, sweepDb, { 50.0f, 100.0f, 316.22776f, 1000.0f, 3162.2776f, 20000.0f });
    EXPECT_TRUE (std::isnan (at[0])) << "below the sweep's range";
    EXPECT_NEAR (at[1], 0.0, 1e-6);
    EXPECT_NEAR (at[2], 5.0, 1e-4) << "halfway in log frequency";
    EXPECT_NEAR (at[3], 10.0, 1e-6);
    EXPECT_NEAR (at[4], 5.0, 1e-4);
    EXPECT_TRUE (std::isnan (at[5])) << "above it";

    // Second differences only where the middle point lies in 100..15000 Hz and all three are numbers.
    EXPECT_NEAR (TrLiveBench::jaggedness ({ 50.0f, 100.0f, 200.0f, 400.0f }, { 0.0, 1.0, 0.0, 1.0 }), std::sqrt ((4.0 + 4.0) / 2.0), 1e-9);
    EXPECT_EQ (TrLiveBench::jaggedness ({ 20.0f, 30.0f, 40.0f }, { 0.0, 1.0, 0.0 }), 0.0);
    EXPECT_EQ (TrLiveBench::jaggedness ({ 100.0f, 200.0f, 300.0f }, { std::nan (""), 1.0, 0.0 }), 0.0);
}

TEST (LiveBench, APluginNobodyHereWroteRunsAndWritesItsCsv)
{
    CsvTurn turn;
    const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-live", "/usr/lib/lv2/fil4.lv2", "--seconds", "1.5" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    EXPECT_TRUE (r.output.contains ("plugin:      x42-eq - Parametric Equalizer Stereo (live multisine)")) << r.output;
    EXPECT_TRUE (r.output.contains ("gain @ 1k:   0.00 dB")) << r.output;
    EXPECT_TRUE (r.output.contains ("wrote /tmp/testrig_live_vs_sweep.csv")) << r.output;
    juce::StringArray rows;
    rows.addTokens (juce::File (TrLiveBench::csvPath).loadFileAsString().trimEnd(), "\r\n", "");
    rows.removeEmptyStrings();
    EXPECT_EQ (rows.size(), 1025);
}
