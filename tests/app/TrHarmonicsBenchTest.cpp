#include "TrAnalytic.h"
#include "TrChildProcess.h"
#include "TrReportLines.h"
#include "TrTestPaths.h"
#include "results/TrNumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}

/** The expected THD of the soft-clip variant (tanh (2 x)) at a level, from its Fourier series. */
double softClipThdDb (double levelDb)
{
    const auto b = TrTest::sineSeries ([] (double x) { return std::tanh (2.0 * x); }, std::pow (10.0, levelDb / 20.0), 10);
    double power = 0.0;
    for (int k = 2; k <= 10; ++k)
        power += b[static_cast<size_t> (k)] * b[static_cast<size_t> (k)];
    return 10.0 * std::log10 (power / (b[1] * b[1]));
}

juce::StringArray columns (const juce::String& row)
{
    auto cells = juce::StringArray::fromTokens (row, false);
    cells.removeEmptyStrings();
    return cells;
}

void expectNumbers (const juce::String& line, const juce::String& pattern, std::vector<double> expected, double tolerance)
{
    const auto numbers = TrTest::numbersIn (line, pattern);
    ASSERT_TRUE (numbers.has_value()) << "line \"" << line << "\" does not read \"" << pattern << "\"";
    ASSERT_EQ (numbers->size(), expected.size()) << line;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR ((*numbers)[i], expected[i], tolerance) << line;
}
}

TEST (HarmonicsBench, TheSingleToneReportOfTheSoftClipperReadsLineForLine)
{
    const auto r = TrTest::runTestrig ({ "--bench", bundle ("TestrigSoftClip") });
    ASSERT_EQ (r.exitStatus, 0) << r.output;

    const auto lines = TrTest::reportLines (r.output);
    ASSERT_EQ (lines.size(), 14) << r.output;

    const auto thd = softClipThdDb (-6.0);
    EXPECT_EQ (lines[0], "plugin:      TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "freq:        999.756 Hz (bin 1365)");
    EXPECT_EQ (lines[2], "level:       -6 dBFS @ 48000 Hz");
    expectNumbers (lines[3], "THD:         {} dB ({} %)", { thd, 100.0 * std::pow (10.0, thd / 20.0) }, 0.05);
    expectNumbers (lines[4], "THD+N:       {} dB", { thd }, 0.05);
    // tanh's high harmonics fold back below Nyquist: a real, if tiny, spur.
    expectNumbers (lines[5], "alias peak:  {} dB", { -175.0 }, 10.0);
    EXPECT_EQ (lines[6], "spur:        none");
    EXPECT_TRUE (TrTest::numbersIn (lines[7], "noise floor: {} dB").has_value()) << lines[7];
    EXPECT_TRUE (TrTest::numbersIn (lines[8], "DC:          {} dB").has_value()) << lines[8];
    expectNumbers (lines[9], "true peak:   {} dBTP", { 20.0 * std::log10 (std::tanh (2.0 * std::pow (10.0, -6.0 / 20.0))) }, 0.05);
    EXPECT_EQ (lines[10], "repeat:      0.0000 dB");
    EXPECT_EQ (lines[11], "latency:     0 smp");
    EXPECT_TRUE (TrTest::numbersIn (lines[12], "CPU:         {} ns/smp").has_value()) << lines[12];
    EXPECT_TRUE (TrTest::numbersIn (lines[13], "verdict:     Colors the sound with harmonics - character, not a flaw - THD {} %, no aliasing on top")
                     .has_value())
        << lines[13];
}

TEST (HarmonicsBench, AWireReportsTransparentAndAHighToneHasNoThd)
{
    const auto wire = TrTest::runTestrig ({ "--bench", bundle ("TestrigFixture") });
    ASSERT_EQ (wire.exitStatus, 0) << wire.output;
    const auto lines = TrTest::reportLines (wire.output);
    ASSERT_EQ (lines.size(), 14);
    EXPECT_EQ (lines[9], "true peak:   -6.00 dBTP");
    EXPECT_EQ (lines[13], "verdict:     Transparent: adds practically no distortion - THD < 0.001 %, junk at the noise floor");

    const auto high = TrTest::runTestrig ({ "--bench", bundle ("TestrigFixture"), "--freq", "15000", "--level", "-1" });
    ASSERT_EQ (high.exitStatus, 0) << high.output;
    const auto highLines = TrTest::reportLines (high.output);
    EXPECT_EQ (highLines[3], "THD:         n/a (no harmonic below Nyquist)");
    EXPECT_EQ (highLines[13], "verdict:     Tone too high for harmonics - judge this one by aliasing only");
}

TEST (HarmonicsBench, TheSweepReportHasItsHeaderAndOneRowPerPoint)
{
    const auto freq = TrTest::runTestrig ({ "--bench-thd", bundle ("TestrigSoftClip"), "--points", "3" });
    ASSERT_EQ (freq.exitStatus, 0) << freq.output;
    auto lines = TrTest::reportLines (freq.output);
    ASSERT_EQ (lines.size(), 6) << freq.output;
    EXPECT_EQ (lines[0], "plugin:  TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "sweep:   THD vs frequency @ -6 dBFS @ 48000 Hz, N 16384");
    EXPECT_EQ (lines[2], "    Hz     THD dB    THD+N dB    ALIAS dB      H2 dB      H3 dB      H4 dB      H5 dB");
    // The sweep's ends, snapped to the 16384-point grid: 20 Hz to bin 7, 20 kHz to bin 6827.
    const auto thd = softClipThdDb (-6.0);
    const auto low = columns (lines[3]);
    ASSERT_EQ (low.size(), 8) << lines[3];
    EXPECT_NEAR (low[0].getDoubleValue(), 7 * 48000.0 / 16384, 1e-4) << lines[3];
    EXPECT_NEAR (low[1].getDoubleValue(), thd, 0.05) << lines[3];
    EXPECT_NEAR (low[2].getDoubleValue(), thd, 0.05) << lines[3];

    // At 20 kHz every harmonic lies past Nyquist: no THD, but all its power is still in THD+N.
    const auto high = columns (lines[5]);
    ASSERT_EQ (high.size(), 8) << lines[5];
    EXPECT_NEAR (high[0].getDoubleValue(), 6827 * 48000.0 / 16384, 0.5) << lines[5];
    EXPECT_EQ (high[1], "-") << lines[5];
    EXPECT_NEAR (high[2].getDoubleValue(), thd, 0.05) << lines[5];
    for (int column = 4; column < 8; ++column)
        EXPECT_EQ (high[column], "-") << lines[5];

    const auto level = TrTest::runTestrig ({ "--bench-thd", bundle ("TestrigSoftClip"), "--vs", "level", "--points", "1" });
    ASSERT_EQ (level.exitStatus, 0) << level.output;
    lines = TrTest::reportLines (level.output);
    ASSERT_EQ (lines.size(), 5) << "one point counts as two";
    EXPECT_EQ (lines[1], "sweep:   THD vs level, tone 999.0 Hz @ 48000 Hz, N 16384");
    EXPECT_TRUE (lines[2].startsWith ("  dBFS     THD dB"));
    for (const auto& [row, levelDb] : { std::pair { 3, -60.0 }, std::pair { 4, 0.0 } })
    {
        const auto cells = juce::StringArray::fromTokens (lines[row], " ", "");
        const auto filled = [&] { auto c = cells; c.removeEmptyStrings(); return c; }();
        ASSERT_EQ (filled.size(), 8) << lines[row];
        EXPECT_EQ (filled[0], TrNumberFormat::fixed (levelDb, 1));
        EXPECT_NEAR (filled[1].getDoubleValue(), softClipThdDb (levelDb), 0.1) << lines[row];
    }

    const auto capital = TrTest::runTestrig ({ "--bench-thd", bundle ("TestrigFixture"), "--vs", "Level", "--points", "2" });
    EXPECT_EQ (capital.output, "error: --vs must be freq or level, got Level\n") << "no silent sweep over frequency";
}

TEST (HarmonicsBench, TheImdReportShowsDifferenceTonesOnlyForCcif)
{
    const auto smpte = TrTest::runTestrig ({ "--bench-imd", bundle ("TestrigFixture"), "--imd", "smpte" });
    ASSERT_EQ (smpte.exitStatus, 0) << smpte.output;
    auto lines = TrTest::reportLines (smpte.output);
    ASSERT_EQ (lines.size(), 5);
    EXPECT_EQ (lines[0], "plugin:      TESTRIG Fixture (VST3)");
    EXPECT_EQ (lines[1], "test:        IMD SMPTE  f1 60.1 Hz + f2 6999.8 Hz @ -6 dBFS peak, 48000 Hz, N 65536");
    EXPECT_TRUE (lines[2].startsWith ("IMD:         -"));
    EXPECT_TRUE (lines[3].startsWith ("noise floor: "));
    EXPECT_EQ (lines[4], "latency:     0 smp");

    const auto ccif = TrTest::runTestrig ({ "--bench-imd", bundle ("TestrigSoftClip"), "--imd", "ccif" });
    ASSERT_EQ (ccif.exitStatus, 0) << ccif.output;
    lines = TrTest::reportLines (ccif.output);
    ASSERT_EQ (lines.size(), 7);
    EXPECT_EQ (lines[1], "test:        IMD CCIF  f1 18999.8 Hz + f2 20000.2 Hz @ -6 dBFS peak, 48000 Hz, N 65536");
    EXPECT_TRUE (TrTest::numbersIn (lines[3], "d2:          {} dB").has_value()) << lines[3];
    EXPECT_TRUE (TrTest::numbersIn (lines[4], "d3:          {} dB").has_value()) << lines[4];
}

TEST (HarmonicsBench, UsageAndErrorsPrintOneLineAndExitOne)
{
    const auto soft = bundle ("TestrigSoftClip");
    const struct
    {
        juce::StringArray args;
        juce::String startsWith;
    } cases[] {
        { { "--bench" }, "usage: TESTRIG --bench <path> [--freq hz] [--level db] [--sr rate]\n" },
        { { "--bench-thd", "" }, "usage: TESTRIG --bench-thd <path> [--vs freq|level] [--freq hz] [--level db] [--sr rate]\n" },
        { { "--bench-imd" }, "usage: TESTRIG --bench-imd <path> [--imd smpte|ccif] [--level db] [--sr rate]\n" },
        { { "--bench", "/nonexistent/x.vst3" }, "error: File not found: /nonexistent/x.vst3\n" },
        { { "--bench", bundle ("TestrigNoInput") }, "error: TESTRIG Fixture has no audio input (0 in / 2 out)" },
        { { "--bench", bundle ("TestrigMute") }, "error: output fundamental below -100 dB re stimulus (silent or gated output?)\n" },
        { { "--bench", bundle ("TestrigNaN") }, "error: plugin produced non-finite output (NaN/inf)\n" },
        { { "--bench-imd", bundle ("TestrigMute") }, "error: output tones below -100 dB re stimulus (silent or gated output?)\n" },
        { { "--bench-thd", bundle ("TestrigNaN") }, "error: plugin produced non-finite output (NaN/inf)\n" },
        { { "--bench", soft, "--fft", "0" }, "error: --fft must be a power of two from 1024 to 1048576, got 0\n" },
        { { "--bench", soft, "--fft", "3" }, "error: --fft must be a power of two" },
        { { "--bench", soft, "--fft", "48000" }, "error: --fft must be a power of two" },
        { { "--bench-imd", soft, "--fft", "2097152" }, "error: --fft must be a power of two" },
        { { "--bench", soft, "--sr", "0" }, "error: --sr must be between 8000 and 384000 Hz, got 0\n" },
        { { "--bench-thd", soft, "--sr", "1e6" }, "error: --sr must be between 8000 and 384000 Hz" },
        { { "--bench", soft, "--freq", "-5" }, "error: --freq must be above 0 Hz and below half the sample rate (24000 Hz), got -5\n" },
        { { "--bench", soft, "--freq" }, "error: --freq needs a value\n" },
        { { "--bench", soft, "--freq", "30000" }, "error: --freq must be above 0 Hz" },
        { { "--bench", soft, "--level", "+100" }, "error: --level must be between -120 and +20 dBFS, got 100\n" },
        { { "--bench-imd", soft, "--level", "-200" }, "error: --level must be between -120 and +20 dBFS" },
        { { "--bench-thd", soft, "--points", "5000" }, "error: --points must be at most 1000, got 5000\n" },
        { { "--bench-imd", soft, "--imd", "ccif", "--sr", "32000" }, "error: --sr must be above 40000 Hz for CCIF" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_TRUE (r.output.startsWith (c.startsWith)) << c.args.joinIntoString (" ") << "\n" << r.output;
        EXPECT_EQ (TrTest::reportLines (r.output).size(), 1) << r.output;
    }
}

TEST (HarmonicsBench, RealPluginsFromDebianReportInFull)
{
    for (const juce::String plugin : { "/usr/lib/vst3/ZamCompX2.vst3", "/usr/lib/lv2/ZamCompX2.lv2" })
    {
        const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench", plugin });
        ASSERT_EQ (r.exitStatus, 0) << plugin << "\n" << r.output;
        const auto lines = TrTest::reportLines (r.output);
        ASSERT_EQ (lines.size(), 14) << r.output;
        EXPECT_TRUE (lines[0].startsWith ("plugin:      ZamCompX2 (")) << lines[0];
        EXPECT_TRUE (lines[13].startsWith ("verdict:     ")) << lines[13];

        const auto sweep = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-thd", plugin, "--points", "3" });
        EXPECT_EQ (sweep.exitStatus, 0) << sweep.output;
        EXPECT_EQ (TrTest::reportLines (sweep.output).size(), 6);

        const auto imd = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-imd", plugin, "--imd", "ccif" });
        EXPECT_EQ (imd.exitStatus, 0) << imd.output;
        EXPECT_EQ (TrTest::reportLines (imd.output).size(), 7);
    }
}
