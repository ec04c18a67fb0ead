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
