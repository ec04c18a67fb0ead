#include "TrChildProcess.h"
#include "TrReportLines.h"
#include "TrTestPaths.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <gtest/gtest.h>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}

juce::String modeAssignment (const juce::String& mode)
{
    return "Mode=" + juce::String (TrTest::fixtureMode (mode), 6);
}
}

TEST (CurveBench, AWireReportsLineForLine)
{
    const auto r = TrTest::runTestrig ({ "--bench-curve", bundle ("TestrigFixture") });
    ASSERT_EQ (r.exitStatus, 0) << r.output;

    const auto lines = TrTest::reportLines (r.output);
    const juce::StringArray expected {
        "plugin:        TESTRIG Fixture (VST3)",
        "channel:       left",
        "level:         -12 dBFS @ 48000 Hz",
        "gain @ 1 kHz:  0.00 dB",
        "in-band mag:   0.00 .. 0.00 dB",
        "in-band phase: 0.0 .. 0.0 deg",
        "latency:       reported 0 smp, measured 0.0 smp",
        "",
        "polarity:      normal",
        "repeatability: 0.0000 dB  (repeatable)",
        "curve (Hz, dB, deg):",
        "  30  0.00  0.0",
        "  100  0.00  0.0",
        "  300  0.00  0.0",
        "  1000  0.00  0.0",
        "  3000  0.00  0.0",
        "  10000  0.00  0.0",
        "  20000  0.00  0.0",
        "verdict:       Does not change the tone - flat response - overall gain 0.0 dB",
    };

    ASSERT_EQ (lines.size(), expected.size()) << r.output;
    for (int i = 0; i < lines.size(); ++i)
    {
        if (i == 7)
            EXPECT_TRUE (TrTest::numbersIn (lines[i], "CPU:           {} ns/smp (median)").has_value()) << lines[i];
        else
            EXPECT_EQ (lines[i], expected[i]) << "zero is printed without a sign";
    }
}

TEST (CurveBench, ParametersChannelsAndPhaseCharacterShowInTheReport)
{
    const auto delayed = TrTest::runTestrig ({ "--bench-curve", bundle ("TestrigFixture"), "--param", modeAssignment ("Invert"),
                                              "--param", "Delay=" + juce::String (100.0 / 131072.0, 9), "--channel", "right" });
    ASSERT_EQ (delayed.exitStatus, 0) << delayed.output;
    EXPECT_TRUE (delayed.output.contains ("\nchannel:       right\n"));
    EXPECT_TRUE (delayed.output.contains ("\nlatency:       reported 100 smp, measured 100.0 smp\n")) << delayed.output;
    EXPECT_TRUE (delayed.output.contains ("\npolarity:      INVERTED (!)\n"));
    EXPECT_TRUE (delayed.output.contains ("\nverdict:       Flips the waveform upside-down - cancels the dry signal in parallel chains\n"));
    EXPECT_TRUE (delayed.output.startsWith ("set [0] Mode = Invert\nset [3] Delay = 100\nplugin:")) << delayed.output;

    const auto eq = TrTest::runTestrig ({ "--bench-curve", bundle ("TestrigFixture"), "--param", modeAssignment ("Peak EQ") });
    ASSERT_EQ (eq.exitStatus, 0) << eq.output;
    EXPECT_TRUE (eq.output.contains ("\nchannel:       left\n")) << "left unless asked otherwise";
    EXPECT_TRUE (eq.output.contains ("\nphase:         minimum phase (dev vs flat ")) << eq.output;
    EXPECT_TRUE (eq.output.contains ("\ngain @ 1 kHz:  6.0")) << eq.output;
    EXPECT_TRUE (eq.output.contains ("\nverdict:       Shapes the tone: ")) << eq.output;
}

TEST (CurveBench, RealPluginsFromDebianReport)
{
    const auto maxim = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-curve", "/usr/lib/vst3/ZaMaximX2.vst3" });
    ASSERT_EQ (maxim.exitStatus, 0) << maxim.output;
    EXPECT_TRUE (maxim.output.contains ("\nlatency:       reported 480 smp, measured 480.0 smp\n"))
        << "zam-plugins' ZaMaximX2 looks ahead 480 samples and reports it\n" << maxim.output;

    const auto eq = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-curve", "http://gareus.org/oss/lv2/fil4#stereo" });
    ASSERT_EQ (eq.exitStatus, 0) << eq.output;
    EXPECT_TRUE (eq.output.startsWith ("plugin:        x42-eq - Parametric Equalizer Stereo (LV2)\n")) << eq.output;
    EXPECT_EQ (TrTest::reportLines (eq.output).size() >= 19, true) << eq.output;
}

TEST (CurveBench, ErrorsExitOne)
{
    const struct
    {
        juce::StringArray args;
        juce::String output;
    } cases[] {
        { { "--bench-curve" }, "usage: TESTRIG --bench-curve <path> [--level db] [--channel left|right|mid|side] [--sr rate]\n" },
        { { "--bench-curve", bundle ("TestrigNaN") }, "error: plugin produced non-finite output (NaN/inf)\n" },
        { { "--bench-curve", bundle ("TestrigFixture"), "--sr", "1000" }, "error: --sr must be between 8000 and 384000 Hz, got 1000\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.output);
    }
}

TEST (NullBench, PairsOfFixturesReportTheirNull)
{
    const struct
    {
        const char* b;
        const char* match;
        double latencyDelta;
        const char* verdict;
    } cases[] {
        { "TestrigFixture", "(match 0.00 dB)", 0.0, "verdict:    Identical - they cancel to silence" },
        { "TestrigGain1dB", "(match -1.00 dB)", 0.0, "verdict:    Identical - they cancel to silence" },
        { "TestrigLatency37", "(match 0.00 dB)", 37.0, "verdict:    Identical - they cancel to silence" },
        // tanh (2 x) doubles quiet pink noise and squeezes only its peaks: the match lies within
        // a few tenths of a dB of -6.02.
        { "TestrigSoftClip", nullptr, 0.0, "verdict:    Similar, but measurably different" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig ({ "--bench-null", bundle ("TestrigFixture"), bundle (c.b) });
        ASSERT_EQ (r.exitStatus, 0) << r.output;
        const auto lines = TrTest::reportLines (r.output);
        ASSERT_EQ (lines.size(), 8) << r.output;
        EXPECT_EQ (lines[0], "A:          TESTRIG Fixture");
        EXPECT_EQ (lines[2], "signal:     pink noise @ 48000 Hz");
        if (c.match != nullptr)
        {
            EXPECT_TRUE (lines[3].endsWith (c.match)) << lines[3];
        }
        else
        {
            const auto match = TrTest::numbersIn (lines[3], "LUFS:       A {}  B {}  (match {} dB)");
            ASSERT_TRUE (match.has_value()) << lines[3];
            EXPECT_GT ((*match)[2], -6.03) << lines[3];
            EXPECT_LT ((*match)[2], -5.5) << lines[3];
        }
        const auto delta = TrTest::numbersIn (lines[4], "lat delta:  {} smp");
        ASSERT_TRUE (delta.has_value()) << lines[4];
        EXPECT_NEAR (delta->front(), c.latencyDelta, 0.01) << lines[4];
        EXPECT_EQ (lines[7], c.verdict) << c.b;
    }
}

TEST (NullBench, MissingUnreadableAndShortSignalsFail)
{
    const auto text = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("testrig-bench-null.txt");
    ASSERT_TRUE (text.replaceWithText ("not audio"));

    const auto shortWav = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("testrig-bench-short.wav");
    {
        shortWav.deleteFile();
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (shortWav), 48000.0, 1, 16, {}, 0));
        juce::AudioBuffer<float> half (1, 24000);
        half.clear();
        writer->writeFromAudioSampleBuffer (half, 0, half.getNumSamples());
    }

    const auto wire = bundle ("TestrigFixture");
    const struct
    {
        juce::StringArray args;
        juce::String output;
    } cases[] {
        { { "--bench-null" }, "usage: TESTRIG --bench-null <path A> <path B> [--file sound] [--sr rate]\n" },
        { { "--bench-null", wire }, "usage: TESTRIG --bench-null <path A> <path B> [--file sound] [--sr rate]\n" },
        { { "--bench-null", wire, "/nonexistent/b.vst3" }, "error B: File not found: /nonexistent/b.vst3\n" },
        { { "--bench-null", wire, wire, "--file", "/nonexistent/take.wav" }, "error: --file names no file: /nonexistent/take.wav\n" },
        { { "--bench-null", wire, wire, "--file", text.getFullPathName() }, "error: could not read testrig-bench-null.txt\n" },
        { { "--bench-null", wire, wire, "--file", shortWav.getFullPathName() }, "error: test signal is too short\n" },
        { { "--bench-null", bundle ("TestrigMute"), bundle ("TestrigMute") }, "error: both plugins put out silence - there is nothing to compare\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.output);
    }

    text.deleteFile();
    shortWav.deleteFile();
}
