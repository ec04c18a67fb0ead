#include "TrChildProcess.h"
#include "TrTestPaths.h"

#include <gtest/gtest.h>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}

/** Runs a mode with --json; the whole of standard output must be one JSON document. */
juce::var runJson (juce::StringArray args, int& status)
{
    args.add ("--json");
    const auto r = TrTest::runTestrig (args);
    status = r.exitStatus;
    juce::var document;
    const auto parsed = juce::JSON::parse (r.output, document);
    EXPECT_TRUE (parsed.wasOk()) << parsed.getErrorMessage() << "\n" << r.output;
    return document;
}
}

TEST (JsonReport, EveryModePrintsOneDocumentWithItsFigures)
{
    const auto soft = bundle ("TestrigSoftClip");
    const auto wire = bundle ("TestrigFixture");
    const struct
    {
        juce::StringArray args;
        const char* figure; // one member of "results" every run of the mode has
    } cases[] {
        { { "--bench", soft }, "thd_db" },
        { { "--bench-thd", soft, "--points", "2" }, "points" },
        { { "--bench-imd", soft }, "imd_db" },
        { { "--bench-curve", wire }, "measured_latency_samples" },
        { { "--bench-null", wire, soft }, "null_depth_db" },
        { { "--bench-dyn", bundle ("TestrigCompressor"), "--runs", "1" }, "runs" },
        { { "--bench-perf", wire, "--seconds", "0.25" }, "blocks" },
        { { "--bench-checks", wire }, "reported_latency_samples" },
        { { "--bench-checkup", soft }, "honest" },
    };

    for (const auto& c : cases)
    {
        const auto label = c.args.joinIntoString (" ");
        int status = -1;
        const auto d = runJson (c.args, status);
        EXPECT_EQ (status, 0) << label;
        EXPECT_EQ (d["mode"].toString(), c.args[0]) << label;
        EXPECT_EQ (static_cast<int> (d["status"]), 0) << label;
        EXPECT_TRUE (d["error"].isVoid()) << label << ": " << d["error"].toString();
        EXPECT_EQ (static_cast<double> (d["settings"]["sample_rate_hz"]), 48000.0) << label;
        const auto plugin = c.args[0] == "--bench-null" ? d["plugin_a"] : d["plugin"];
        EXPECT_EQ (plugin["format"].toString(), "VST3") << label;
        EXPECT_EQ (plugin["layout"].toString(), "stereo") << label;
        EXPECT_TRUE (d["results"].hasProperty (c.figure)) << label;
        EXPECT_TRUE (juce::StringArray ({ "none", "good", "ok", "warn", "bad" }).contains (d["verdict"]["grade"].toString())) << label;
        EXPECT_TRUE (d["verdict"]["text"].toString().isNotEmpty()) << label;
    }
}

TEST (JsonReport, FiguresAreTheMeasuredOnesAndNullWhereNothingWasMeasured)
{
    int status = -1;
    const auto checks = runJson ({ "--bench-checks", bundle ("TestrigFixture"), "--param", "Delay=0.000762939453125" }, status);
    EXPECT_EQ (static_cast<double> (checks["results"]["measured_latency_samples"]), 100.0);
    EXPECT_EQ (static_cast<int> (checks["results"]["reported_latency_samples"]), 100);
    EXPECT_TRUE (checks["results"]["bypass_null_db"].isDouble());
    EXPECT_EQ (checks["settings"]["params"][0].toString(), "Delay=0.000762939453125");

    const auto dyn = runJson ({ "--bench-dyn", bundle ("TestrigCompressor"), "--runs", "1" }, status);
    const auto run = dyn["results"]["runs"][0];
    EXPECT_EQ (run["shape"].toString(), "compressor");
    EXPECT_EQ (static_cast<double> (run["threshold_db"]), -20.0);
    EXPECT_EQ (static_cast<double> (run["ratio"]), 4.0);
    EXPECT_TRUE (dyn["results"]["consistent"]);

    const auto wire = runJson ({ "--bench-dyn", bundle ("TestrigFixture"), "--runs", "1" }, status);
    EXPECT_EQ (wire["results"]["runs"][0]["shape"].toString(), "linear");
    EXPECT_TRUE (wire["results"]["runs"][0]["threshold_db"].isVoid()) << "a wire has no threshold: null, not a number";
    EXPECT_TRUE (wire["results"]["runs"][0]["attack_ms"].isVoid());
}

TEST (JsonReport, FailuresAreDocumentsWithTheirErrorAndStatus)
{
    const struct
    {
        juce::StringArray args;
        const char* error;
    } cases[] {
        { { "--bench-checks", "" }, "usage: TESTRIG --bench-checks <path> [--sr rate]" },
        { { "--bench", bundle ("TestrigFixture"), "--bogus" }, "unknown option --bogus" },
        { { "--bench-curve", "/nonexistent/x.vst3" }, "File not found: /nonexistent/x.vst3" },
        { { "--bench-null", bundle ("TestrigFixture"), "/nonexistent/b.vst3" }, "slot B: File not found: /nonexistent/b.vst3" },
        { { "--bench", bundle ("TestrigNaN") }, "plugin produced non-finite output (NaN/inf)" },
        { { "--bench-dyn", bundle ("TestrigNaN"), "--runs", "1" }, "run 1: plugin produced non-finite output (NaN/inf)" },
        { { "--bench", bundle ("TestrigFixture"), "--param", "Mode=" + juce::String (TrTest::fixtureMode ("Exit"), 9) },
          "the plugin ended the process" },
    };

    for (const auto& c : cases)
    {
        const auto label = c.args.joinIntoString (" ");
        int status = -1;
        const auto d = runJson (c.args, status);
        EXPECT_EQ (status, 1) << label;
        EXPECT_EQ (static_cast<int> (d["status"]), 1) << label;
        EXPECT_EQ (d["error"].toString(), c.error) << label;
    }
}
