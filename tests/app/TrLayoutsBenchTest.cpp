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

juce::String param (const juce::String& name, double normalised)
{
    return name + "=" + juce::String (normalised, 12);
}

juce::String gainDb (double db)
{
    return param ("Gain", (db - TrFixtureModes::gainMinDb) / (TrFixtureModes::gainMaxDb - TrFixtureModes::gainMinDb));
}

juce::String delaySamples (int samples)
{
    return param ("Delay", samples / static_cast<double> (TrFixtureModes::delayMax));
}

juce::String mode (const char* name)
{
    return param ("Mode", TrTest::fixtureMode (name));
}

juce::var runJson (juce::StringArray args, int& status)
{
    args.add ("--json");
    const auto r = TrTest::runTestrig (args);
    status = r.exitStatus;
    juce::var document;
    EXPECT_TRUE (juce::JSON::parse (r.output, document).wasOk()) << r.output;
    return document;
}

struct Layout
{
    const char* bundle;
    const char* name;
};

constexpr Layout mixedLayouts[] { { "TestrigMono", "mono" }, { "TestrigMonoToStereo", "mono to stereo" }, { "TestrigStereoToMono", "stereo to mono" } };
}

TEST (Layouts, EveryModeMeasuresEveryLayout)
{
    for (const auto& layout : mixedLayouts)
    {
        const auto plugin = bundle (layout.bundle);
        const struct
        {
            juce::StringArray args;
            const char* figure;
        } runs[] {
            { { "--bench", plugin, "--param", mode ("Soft clip") }, "thd_db" },
            { { "--bench-thd", plugin, "--points", "2", "--param", mode ("Soft clip") }, "points" },
            { { "--bench-imd", plugin, "--param", mode ("Soft clip") }, "imd_db" },
            { { "--bench-curve", plugin }, "gain_at_1khz_db" },
            { { "--bench-null", plugin, bundle ("TestrigFixture") }, "null_depth_db" },
            { { "--bench-null", bundle ("TestrigFixture"), plugin }, "null_depth_db" },
            { { "--bench-dyn", plugin, "--runs", "1", "--param", mode ("Compressor") }, "runs" },
            { { "--bench-perf", plugin, "--seconds", "0.25" }, "blocks" },
            { { "--bench-checks", plugin }, "reported_latency_samples" },
            { { "--bench-checkup", plugin }, "honest" },
        };

        for (const auto& r : runs)
        {
            const auto label = juce::String (layout.name) + ": " + r.args.joinIntoString (" ");
            int status = -1;
            const auto d = runJson (r.args, status);
            EXPECT_EQ (status, 0) << label << ": " << d["error"].toString();
            EXPECT_TRUE (d["results"].hasProperty (r.figure)) << label;

            const auto ours = r.args[1] == plugin ? (r.args[0] == "--bench-null" ? d["plugin_a"] : d["plugin"]) : d["plugin_b"];
            EXPECT_EQ (ours["layout"].toString(), layout.name) << label;
        }

        const auto listed = TrTest::runTestrig ({ "--list-params", plugin });
        EXPECT_EQ (listed.exitStatus, 0) << layout.name;
        EXPECT_TRUE (listed.output.startsWith ("[0]  Mode  =  Wire")) << listed.output;
    }
}

TEST (Layouts, ThePluginLineNamesALayoutThatIsNotStereo)
{
    const struct
    {
        const char* bundle;
        const char* line;
    } cases[] {
        { "TestrigFixture", "plugin:        TESTRIG Fixture (VST3)" },
        { "TestrigMono", "plugin:        TESTRIG Fixture (VST3, mono)" },
        { "TestrigMonoToStereo", "plugin:        TESTRIG Fixture (VST3, mono to stereo)" },
        { "TestrigStereoToMono", "plugin:        TESTRIG Fixture (VST3, stereo to mono)" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig ({ "--bench-curve", bundle (c.bundle) });
        ASSERT_EQ (r.exitStatus, 0) << r.output;
        EXPECT_EQ (TrTest::reportLines (r.output)[0], c.line);
    }

    const auto null = TrTest::runTestrig ({ "--bench-null", bundle ("TestrigMonoToStereo"), bundle ("TestrigFixture") });
    ASSERT_EQ (null.exitStatus, 0) << null.output;
    const auto lines = TrTest::reportLines (null.output);
    EXPECT_EQ (lines[0], "A:          TESTRIG Fixture (mono to stereo)");
    EXPECT_EQ (lines[1], "B:          TESTRIG Fixture");
}

TEST (Layouts, EachChannelModeDrivesAndReadsTheChannelsTheLayoutHas)
{
    // The mono-to-stereo fixture sends its right output 6.02 dB down; the stereo-to-mono one
    // takes the mean of its inputs, so it reads 6.02 dB down unless both inputs are driven.
    const struct
    {
        const char* bundle;
        const char* channel;
        double gainDb; // NAN: the mode cannot be measured
    } cases[] {
        { "TestrigMono", "left", 0.0 },
        { "TestrigMono", "right", 0.0 },
        { "TestrigMono", "mid", 0.0 },
        { "TestrigMono", "side", NAN },
        { "TestrigMonoToStereo", "left", 0.0 },
        { "TestrigMonoToStereo", "right", -6.02 },
        { "TestrigMonoToStereo", "mid", -2.50 },
        { "TestrigMonoToStereo", "side", -12.04 },
        { "TestrigStereoToMono", "left", 0.0 },
        { "TestrigStereoToMono", "right", 0.0 },
        { "TestrigStereoToMono", "mid", 0.0 },
        { "TestrigStereoToMono", "side", NAN },
    };

    for (const auto& c : cases)
    {
        const auto label = juce::String (c.bundle) + " " + c.channel;
        const auto r = TrTest::runTestrig ({ "--bench-curve", bundle (c.bundle), "--channel", c.channel });
        if (std::isnan (c.gainDb))
        {
            EXPECT_EQ (r.exitStatus, 1) << label;
            EXPECT_EQ (r.output, "error: a mono output has no side channel\n") << label;
            continue;
        }

        ASSERT_EQ (r.exitStatus, 0) << label << ": " << r.output;
        const auto gain = TrTest::numbersIn (TrTest::reportLines (r.output)[3], "gain @ 1 kHz:  {} dB");
        ASSERT_TRUE (gain.has_value()) << r.output;
        EXPECT_NEAR (gain->front(), c.gainDb, 0.005) << label;
    }
}

TEST (Layouts, AMonoPluginReadsExactlyItsParameters)
{
    const auto plugin = bundle ("TestrigMono");
    const auto settings = juce::StringArray { "--param", mode ("Gain"), "--param", gainDb (-6.0), "--param", delaySamples (37) };

    int status = -1;
    auto args = juce::StringArray { "--bench-curve", plugin };
    args.addArray (settings);
    const auto curve = runJson (args, status);
    ASSERT_EQ (status, 0) << curve["error"].toString();
    EXPECT_NEAR (static_cast<double> (curve["results"]["gain_at_1khz_db"]), -6.0, 0.005);
    EXPECT_NEAR (static_cast<double> (curve["results"]["measured_latency_samples"]), 37.0, 0.05);

    args = { "--bench-checks", plugin };
    args.addArray (settings);
    const auto checks = runJson (args, status);
    ASSERT_EQ (status, 0) << checks["error"].toString();
    EXPECT_EQ (static_cast<int> (checks["results"]["reported_latency_samples"]), 37);
    EXPECT_NEAR (static_cast<double> (checks["results"]["measured_latency_samples"]), 37.0, 0.05);
    EXPECT_EQ (checks["verdict"]["grade"].toString(), "good") << checks["verdict"]["text"].toString();

    // A mono wire against a stereo one: the channel they share nulls to nothing.
    const auto null = runJson ({ "--bench-null", plugin, bundle ("TestrigFixture") }, status);
    ASSERT_EQ (status, 0) << null["error"].toString();
    EXPECT_LT (static_cast<double> (null["results"]["null_depth_db"]), -100.0);
}

TEST (Layouts, RealMonoPluginsFromDebianReadTheirKnownSettings)
{
    const auto curveGain = [] (const juce::StringArray& args) {
        const auto r = TrTest::runTestrigOnThirdPartyPlugin (args);
        EXPECT_EQ (r.exitStatus, 0) << r.output;
        const auto lines = TrTest::reportLines (r.output);
        for (const auto& line : lines)
            if (const auto gain = TrTest::numbersIn (line, "gain @ 1 kHz:  {} dB"))
                return gain->front();
        ADD_FAILURE() << r.output;
        return 0.0;
    };

    // ZamEQ2 with its first band at +6 dB, 1 kHz, bandwidth 4 (positions from --list-params'
    // ranges: gain -50..20 dB, bandwidth 0.1..6, frequency 20..14000 Hz); all else flat.
    const auto eq = curveGain ({ "--bench-curve", "/usr/lib/vst3/ZamEQ2.vst3", "--param", "Boost/Cut 1=" + juce::String (56.0 / 70.0, 9),
                                 "--param", "Bandwidth 1=" + juce::String (3.9 / 5.9, 9), "--param", "Frequency 1=" + juce::String (980.0 / 13980.0, 9) });
    EXPECT_NEAR (eq, 6.0, 0.005);

    // ZamAutoSat is y = 2x - x|x|. For x = a sin t, x|x| = a^2 sum over odd n of
    // -8 / (pi n (n^2 - 4)) sin nt, so a -6 dBFS tone comes out with these harmonics.
    const auto a = 0.5;
    const auto coefficient = [] (int n) { return -8.0 / (juce::MathConstants<double>::pi * n * (n * n - 4)); };
    const auto fundamental = 2.0 * a - a * a * coefficient (1);
    double harmonics = 0.0;
    for (int n = 3; n < 24; n += 2)
        harmonics += std::pow (a * a * coefficient (n), 2.0);

    const auto sat = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench", "/usr/lib/vst3/ZamAutoSat.vst3" });
    ASSERT_EQ (sat.exitStatus, 0) << sat.output;
    const auto thd = TrTest::numbersIn (TrTest::reportLines (sat.output)[3], "THD:         {} dB ({} %)");
    ASSERT_TRUE (thd.has_value()) << sat.output;
    EXPECT_NEAR (thd->front(), 20.0 * std::log10 (std::sqrt (harmonics) / fundamental), 0.03);
    EXPECT_NEAR (curveGain ({ "--bench-curve", "/usr/lib/vst3/ZamAutoSat.vst3", "--level", "-6" }), 20.0 * std::log10 (fundamental / a), 0.02);

    // ZamComp at -20 dB, 4:1 (threshold -80..0 dB, ratio 1..20). Its detector follows a sine
    // below the sine's peak, so it acts on tones from about a decibel higher and a little
    // softer than set; the curve's static gains, measured another way, show the same slope.
    const juce::StringArray compressor { "--param", "Threshold=0.75", "--param", "Ratio=" + juce::String (3.0 / 19.0, 9) };
    auto args = juce::StringArray { "--bench-dyn", "/usr/lib/vst3/ZamComp.vst3", "--runs", "1", "--json" };
    args.addArray (compressor);
    const auto dyn = TrTest::runTestrigOnThirdPartyPlugin (args);
    ASSERT_EQ (dyn.exitStatus, 0) << dyn.output;
    juce::var document;
    ASSERT_TRUE (juce::JSON::parse (dyn.output, document).wasOk()) << dyn.output;
    const auto run = document["results"]["runs"][0];
    EXPECT_EQ (run["shape"].toString(), "compressor");
    EXPECT_NEAR (static_cast<double> (run["threshold_db"]), -19.5, 1.0);

    double gains[2] {};
    for (int i = 0; i < 2; ++i)
    {
        args = { "--bench-curve", "/usr/lib/vst3/ZamComp.vst3", "--level", i == 0 ? "-12" : "0" };
        args.addArray (compressor);
        gains[i] = curveGain (args);
    }
    const auto staticRatio = 12.0 / (12.0 + gains[1] - gains[0]);
    EXPECT_NEAR (static_cast<double> (run["ratio"]), staticRatio, 0.05 * staticRatio);
    EXPECT_GT (staticRatio, 3.0);
}
