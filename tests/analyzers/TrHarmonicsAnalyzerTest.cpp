#include "TrAnalytic.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrToneSpectrum.h"
#include "results/TrErrorTexts.h"
#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrHarmonicsResult measure (TrPluginSlot& slot, TrHarmonicsAnalyzer::Params params = {}, const TrCancel& cancel = {})
{
    return TrHarmonicsAnalyzer::run (slot, params, nullptr, cancel);
}

double spectrumAt (const TrHarmonicsResult& r, int harmonic)
{
    return r.spectrumDb[static_cast<size_t> (harmonic * r.bin)];
}
}

TEST (ToneSpectrum, TonesSnapToOddBins)
{
    const struct
    {
        double hz;
        int expectedBin;
    } cases[] {
        { 1000.0, 1365 },                           // r = 1365, already odd
        { 1366.0 * 48000.0 / 65536.0, 1367 },       // r = 1366 becomes 1367
        { -5.0, 1 },
        { 0.0, 1 },
        { 30000.0, 32767 },                         // at most n/2 - 1
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrToneSpectrum::snapToOddBin (c.hz, 65536, 48000.0), c.expectedBin) << c.hz;
}

TEST (HarmonicsAnalyzer, AWireMeasuresAtTheNumericalFloorInEveryMode)
{
    for (const auto mode : { TrChannelMode::left, TrChannelMode::side, TrChannelMode::mid })
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot), "");

        TrHarmonicsAnalyzer::Params params;
        params.channel = mode;
        std::atomic<float> progress { 0.0f };
        const auto r = TrHarmonicsAnalyzer::run (bench.slot, params, &progress, {});

        ASSERT_EQ (r.error, "") << channelModeName (mode);
        EXPECT_EQ (r.bin, 1365);
        EXPECT_DOUBLE_EQ (r.frequencyHz, 999.755859375);
        EXPECT_LT (r.thdDb, -140.0);
        EXPECT_LT (r.dcDb, -140.0);
        EXPECT_NEAR (r.truePeakDb, -6.0, 0.05);
        EXPECT_FALSE (r.timeVariant);
        EXPECT_LT (r.repeatDeltaDb, 0.01);
        EXPECT_EQ (r.latencySamples, 0);
        EXPECT_GT (r.cpuNsPerSample, 0.0);
        EXPECT_EQ (r.spectrumDb.size(), 32769u);
        EXPECT_NEAR (r.spectrumDb[1365], 0.0f, 1e-6f);
        EXPECT_EQ (r.channelName, channelModeName (mode));
        EXPECT_FLOAT_EQ (progress.load(), 1.0f);
    }
}

TEST (HarmonicsAnalyzer, TheSoftClipperMatchesTheFourierSeriesOfTanh)
{
    for (const auto drive : { 1.0, 2.0, 4.0 })
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Soft clip", "Drive=" + juce::String (drive) }), "");
        const auto r = measure (bench.slot);
        ASSERT_EQ (r.error, "");

        const auto amplitude = std::pow (10.0, -6.0 / 20.0);
        const auto b = TrTest::sineSeries ([drive] (double x) { return std::tanh (drive * x); }, amplitude, 10);

        double harmonicPower = 0.0;
        for (int k = 2; k <= 10; ++k)
            harmonicPower += b[static_cast<size_t> (k)] * b[static_cast<size_t> (k)];

        EXPECT_NEAR (r.thdDb, 10.0 * std::log10 (harmonicPower / (b[1] * b[1])), 0.1) << "drive " << drive;
        EXPECT_NEAR (spectrumAt (r, 3), TrTest::dB (b[3] / b[1]), 0.1) << "drive " << drive;
        EXPECT_NEAR (spectrumAt (r, 5), TrTest::dB (b[5] / b[1]), 0.1) << "drive " << drive;
        EXPECT_LT (spectrumAt (r, 2), -120.0) << "an odd function adds no even harmonics";
    }
}

TEST (HarmonicsAnalyzer, ReportedLatencyChangesNoFigure)
{
    // 64000 samples is longer than the second of settling: without the latency in the skip the
    // capture would open on silence.
    Bench plain, delayed;
    ASSERT_EQ (TrTest::loadFixture (plain.slot, { "Mode=Soft clip", "Drive=2" }), "");
    ASSERT_EQ (TrTest::loadFixture (delayed.slot, { "Mode=Soft clip", "Drive=2", "Delay=64000" }), "");

    const auto a = measure (plain.slot);
    const auto b = measure (delayed.slot);
    ASSERT_EQ (a.error + b.error, "");

    EXPECT_EQ (b.latencySamples, 64000);
    EXPECT_NEAR (b.thdDb, a.thdDb, 0.001);
    EXPECT_NEAR (b.thdnDb, a.thdnDb, 0.001);
    EXPECT_NEAR (b.truePeakDb, a.truePeakDb, 0.001);
    EXPECT_FALSE (b.timeVariant);
}

TEST (HarmonicsAnalyzer, AModulatedPluginIsTimeVariant)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Wobble" }), "");
    const auto r = measure (bench.slot);

    ASSERT_EQ (r.error, "");
    EXPECT_TRUE (r.timeVariant);
    EXPECT_GT (r.repeatDeltaDb, 0.25);
}

TEST (HarmonicsAnalyzer, ATonePastAQuarterOfTheRateHasNoThdButTheRestIsMeasured)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");
    TrHarmonicsAnalyzer::Params params;
    params.frequencyHz = 15000.0;
    const auto r = measure (bench.slot, params);

    ASSERT_EQ (r.error, "");
    EXPECT_TRUE (std::isnan (r.thdDb));
    EXPECT_TRUE (std::isnan (r.thdPercent));
    EXPECT_TRUE (std::isfinite (r.thdnDb));
    EXPECT_TRUE (std::isfinite (r.noiseFloorDb));
}

TEST (HarmonicsAnalyzer, FailuresKeepWhatWasMeasuredBeforeThem)
{
    const struct
    {
        const char* label;
        juce::StringArray assignments;
        TrCancel cancel;
        juce::String error;
        bool costMeasured;
    } cases[] {
        { "muted", { "Mode=Mute" }, {}, "output fundamental below -100 dB re stimulus (silent or gated output?)", true },
        { "NaN", { "Mode=NaN" }, {}, TrErrorText::nonFinite, true },
        { "+46 dBFS", { "Mode=Hot" }, {}, TrErrorText::implausible, true },
        { "cancelled", {}, [] { return true; }, TrErrorText::aborted, false },
    };

    for (const auto& c : cases)
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot, c.assignments), "");
        const auto r = measure (bench.slot, {}, c.cancel);

        EXPECT_EQ (r.error, c.error) << c.label;
        EXPECT_EQ (r.pluginName, "TESTRIG Fixture") << c.label;
        EXPECT_EQ (r.cpuNsPerSample > 0.0, c.costMeasured) << c.label;
        EXPECT_EQ (r.thdDb, -999.0) << c.label;
    }
}

TEST (HarmonicsAnalyzer, AnEmptySlotOrAnUnusableRecordIsRefused)
{
    Bench bench;
    const auto empty = TrHarmonicsAnalyzer::run (bench.manager.slot (1), {}, nullptr, {});
    EXPECT_EQ (empty.error, TrErrorText::noPlugin);
    EXPECT_EQ (empty.slotIndex, 1);
    EXPECT_EQ (empty.thdDb, -999.0);

    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");

    const struct
    {
        const char* label;
        std::function<void (TrHarmonicsAnalyzer::Params&)> change;
        const char* mentions;
    } cases[] {
        { "FFT size 0", [] (auto& p) { p.fftSize = 0; }, "FFT size" },
        { "FFT size 3", [] (auto& p) { p.fftSize = 3; }, "FFT size" },
        { "FFT size 3000", [] (auto& p) { p.fftSize = 3000; }, "FFT size" },
        { "sample rate 0", [] (auto& p) { p.sampleRate = 0.0; }, "sample rate" },
        { "block size 0", [] (auto& p) { p.blockSize = 0; }, "block size" },
        { "NaN frequency", [] (auto& p) { p.frequencyHz = NAN; }, "frequency" },
        { "infinite level", [] (auto& p) { p.levelDb = INFINITY; }, "level" },
    };

    for (const auto& c : cases)
    {
        TrHarmonicsAnalyzer::Params params;
        c.change (params);
        const auto r = measure (bench.slot, params);
        EXPECT_TRUE (r.error.contains (c.mentions)) << c.label << ": " << r.error;
    }
}

TEST (HarmonicsAnalyzer, FoldedHarmonicsOfAHardClipperAreAliasingWhereverTheyLand)
{
    // At the default tone the harmonics from the 25th (48 kHz) or 23rd (44.1 kHz) up fold back
    // below Nyquist, some of them a few bins from an in-band harmonic. Each lands on one exact
    // bin, at the level of the harmonic it came from.
    const struct
    {
        double rate;
        int firstFolded;
    } cases[] { { 48000.0, 25 }, { 44100.0, 23 } };

    for (const auto& c : cases)
    {
        Bench bench;
        bench.slot.prepare (c.rate, 512);
        ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Hard clip", "Drive=4" }), "");
        TrHarmonicsAnalyzer::Params params;
        params.sampleRate = c.rate;
        const auto r = TrHarmonicsAnalyzer::run (bench.slot, params, nullptr, {});
        ASSERT_EQ (r.error, "") << c.rate;

        const auto b = TrTest::sineSeries ([] (double x) { return juce::jlimit (-1.0, 1.0, 4.0 * x); }, std::pow (10.0, -6.0 / 20.0), 64);
        int strongest = c.firstFolded;
        for (int k = c.firstFolded; k <= 64; ++k)
            if (std::abs (b[static_cast<size_t> (k)]) > std::abs (b[static_cast<size_t> (strongest)]))
                strongest = k;

        EXPECT_NEAR (r.aliasPeakDb, TrTest::dB (b[static_cast<size_t> (strongest)] / b[1]), 0.1) << c.rate;
        const auto folded = std::llabs ((static_cast<long long> (strongest) * r.bin + r.fftSize / 2) % r.fftSize - r.fftSize / 2);
        EXPECT_EQ (r.aliasPeakBin, folded) << c.rate;
        EXPECT_TRUE (isRealAlias (r)) << c.rate;
        EXPECT_EQ (TrVerdict::forHarmonics (r).text, "Adds audible digital junk (aliasing) unrelated to the note") << c.rate;
        EXPECT_LE (r.spurDb, TrSentinel::notMeasuredDb) << c.rate << ": folded harmonics are no spurs";
    }
}

TEST (HarmonicsAnalyzer, HumUnderAnOffGridToneIsASpurAtItsTrueLevelNotAliasing)
{
    // -100 dBFS of 1 kHz hum under a -40 dBFS tone at 440 Hz: -60 dB re the tone, between the
    // bins of the tone's grid, where a plain spectrum reads up to 3.9 dB low.
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Hum" }), "");
    TrHarmonicsAnalyzer::Params params;
    params.frequencyHz = 440.0;
    params.levelDb = -40.0;
    const auto r = TrHarmonicsAnalyzer::run (bench.slot, params, nullptr, {});
    ASSERT_EQ (r.error, "");

    EXPECT_NEAR (r.spurDb, -60.0, 0.1);
    EXPECT_NEAR (r.spurHz, 1000.0, r.binHz);
    EXPECT_FALSE (isRealAlias (r));
    const auto verdict = TrVerdict::forHarmonics (r);
    EXPECT_FALSE (verdict.text.containsIgnoreCase ("alias")) << verdict.text;
    EXPECT_TRUE (verdict.detail.contains ("a line at 1000 Hz, -60.0 dB below the tone")) << verdict.text << " / " << verdict.detail;
}

TEST (HarmonicsAnalyzer, ATremoloFasterThanTheBlocksShowsAsSidebands)
{
    // 8 Hz of 10 % amplitude modulation averages out over each 1.4 s block, so the two blocks
    // agree; the sidebands it puts 8 Hz either side of the tone (each -26 dB) do not.
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Tremolo" }), "");
    const auto r = measure (bench.slot);
    ASSERT_EQ (r.error, "");
    EXPECT_LT (r.repeatDeltaDb, 0.25);
    EXPECT_NEAR (r.sidebandDb, 10.0 * std::log10 (2.0 * 0.05 * 0.05), 0.5);
    EXPECT_TRUE (r.timeVariant);
    EXPECT_LE (r.spurDb, TrSentinel::notMeasuredDb) << "the sidebands are no spur";

    Bench wire;
    ASSERT_EQ (TrTest::loadFixture (wire.slot), "");
    EXPECT_LT (measure (wire.slot).sidebandDb, -150.0);
}

TEST (HarmonicsAnalyzer, APolynomialsEvenAndOddHarmonicsAndDcMatchTheirAlgebra)
{
    // y = x + a x^2 + b x^3 on A sin t: fundamental A (1 + 3 b A^2 / 4), H2 |a| A^2 / 2,
    // H3 |b| A^3 / 4, DC a A^2 / 2. THD counts both, so a sum of odd harmonics alone fails.
    const struct
    {
        double a, b, levelDb;
    } cases[] { { 0.1, 0.0, -6.0 }, { 0.0, 0.1, -6.0 }, { 0.25, -0.5, -3.0 }, { -0.5, 0.25, -12.0 } };

    for (const auto& c : cases)
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Polynomial", "Poly a=" + juce::String (c.a), "Poly b=" + juce::String (c.b) }), "");
        TrHarmonicsAnalyzer::Params params;
        params.levelDb = c.levelDb;
        const auto r = measure (bench.slot, params);
        const auto label = "a " + juce::String (c.a) + ", b " + juce::String (c.b) + " at " + juce::String (c.levelDb) + " dBFS";
        ASSERT_EQ (r.error, "") << label;

        const auto amplitude = std::pow (10.0, c.levelDb / 20.0);
        const auto fundamental = amplitude * (1.0 + 0.75 * c.b * amplitude * amplitude);
        const auto h2 = std::abs (c.a) * amplitude * amplitude / 2.0;
        const auto h3 = std::abs (c.b) * amplitude * amplitude * amplitude / 4.0;
        const auto dc = std::abs (c.a) * amplitude * amplitude / 2.0;
        const auto floorDb = -140.0;
        const auto orFloor = [floorDb] (double ratio) { return std::max (floorDb, TrTest::dB (ratio)); };

        EXPECT_NEAR (std::max (floorDb, r.thdDb), orFloor (std::sqrt (h2 * h2 + h3 * h3) / fundamental), 0.05) << label;
        EXPECT_NEAR (std::max (floorDb, spectrumAt (r, 2)), orFloor (h2 / fundamental), 0.05) << label;
        EXPECT_NEAR (std::max (floorDb, spectrumAt (r, 3)), orFloor (h3 / fundamental), 0.05) << label;
        EXPECT_NEAR (std::max (floorDb, r.dcDb), orFloor (dc / fundamental), 0.05) << label;
    }
}

TEST (HarmonicsAnalyzer, NoiseFloorAndDcReadTheirKnownLevels)
{
    // Hiss of -80 dBFS RMS spreads over 32768 bins: a median bin of sigma sqrt (N ln 2) against
    // the fundamental's A N / 2. A constant 0.002 reads as itself.
    const auto amplitude = std::pow (10.0, -6.0 / 20.0);
    const auto n = 65536.0;

    Bench hiss;
    ASSERT_EQ (TrTest::loadFixture (hiss.slot, { "Mode=Hiss" }), "");
    const auto noisy = measure (hiss.slot);
    ASSERT_EQ (noisy.error, "");
    EXPECT_NEAR (noisy.noiseFloorDb, TrTest::dB (1e-4 * std::sqrt (n * std::log (2.0)) / (amplitude * n / 2.0)), 0.3);

    Bench offset;
    ASSERT_EQ (TrTest::loadFixture (offset.slot, { "Mode=DC offset" }), "");
    const auto dc = measure (offset.slot);
    ASSERT_EQ (dc.error, "");
    EXPECT_NEAR (dc.dcDb, TrTest::dB (0.002 / amplitude), 0.01);
}
