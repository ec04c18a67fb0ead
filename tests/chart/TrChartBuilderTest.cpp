#include "chart/TrChartBuilder.h"
#include "ui/UxPanelTheme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
TrViewState stateWithBothSlots (TrTab tab)
{
    TrViewState s;
    s.tab = tab;
    s.slots[0].loaded = s.slots[1].loaded = true;
    return s;
}

TrHarmonicsResult tone (int slot, double noiseFloorDb, const juce::String& channel = "left")
{
    TrHarmonicsResult r;
    r.slotIndex = slot;
    r.pluginName = slot == 0 ? "Alpha" : "Beta";
    r.fftSize = 2048;
    r.sampleRate = 48000.0;
    r.binHz = r.sampleRate / r.fftSize;
    r.bin = 43; // about 1 kHz
    r.noiseFloorDb = noiseFloorDb;
    r.channelName = channel;
    r.spectrumDb.assign (static_cast<size_t> (r.fftSize / 2 + 1), static_cast<float> (noiseFloorDb));
    r.spectrumDb[static_cast<size_t> (r.bin)] = 0.0f;
    for (int n = 2; n <= 5; ++n)
        r.spectrumDb[static_cast<size_t> (n * r.bin)] = static_cast<float> (-40 - 10 * n);
    return r;
}

TrCurveResult response (int slot, const juce::String& channel, double levelDb, std::vector<float> mag = { 0, 0, 0 })
{
    TrCurveResult r;
    r.slotIndex = slot;
    r.channelName = channel;
    r.levelDb = levelDb;
    r.freqHz = { 100, 1000, 10000 };
    r.magSmoothedDb = std::move (mag);
    r.phaseDeg = { 0, 0, 0 };
    return r;
}

const TrChart::Trace* named (const TrChart::Model& m, const juce::String& name)
{
    for (const auto& t : m.traces)
        if (t.name == name)
            return &t;
    return nullptr;
}
}

TEST (ChartBuilder, TheLogBucketReductionKeepsTheLoudestBinAndTheNyquistBinInTheLastBucket)
{
    // 1025 bins at 48 kHz: the last bin is 24 kHz itself, which maps to bucket 2048.
    std::vector<float> spectrum (1025, -120.0f);
    spectrum[1024] = -10.0f;
    spectrum[500] = -20.0f;
    spectrum[501] = -30.0f;
    const auto points = logBucketMax (spectrum, 48000.0 / 2048.0, 48000.0);

    ASSERT_FALSE (points.empty());
    EXPECT_LE (points.size(), 2048u);
    EXPECT_DOUBLE_EQ (points.back().x, 24000.0);
    EXPECT_DOUBLE_EQ (points.back().y, -10.0);
    EXPECT_GE (points.front().x, 20.0);
    for (size_t i = 1; i < points.size(); ++i)
        ASSERT_GT (points[i].x, points[i - 1].x) << "one point per bucket, rising";

    EXPECT_TRUE (logBucketMax ({ -10.0f }, 23.4, 48000.0).empty()) << "fewer than two values";
}

TEST (ChartBuilder, TwoSpectraAreBandedCleanestOnTopThreeAreNot)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    s.stores.harmonics = { tone (0, -130), tone (1, -100) };
    auto m = rebuildChart (s);

    ASSERT_EQ (m.traces.size(), 2u);
    EXPECT_EQ (m.traces[0].name, "B  Beta") << "the noisier spectrum lies underneath";
    EXPECT_EQ (m.traces[1].name, "A  Alpha");
    EXPECT_EQ (m.traces[0].bandPartner, 1);
    EXPECT_FALSE (m.traces[0].fill || m.traces[1].fill) << "filled only when one spectrum is drawn";
    EXPECT_EQ (m.traces[1].colour, UxPanelTheme::Colours::gold);
    EXPECT_EQ (m.yAxis.min, -160.0);
    EXPECT_EQ (m.yAxis.max, 6.0);

    // Harmonic captions H2..H10 (all above -140 dB here) only on the first drawn spectrum.
    int labelled = 0;
    for (const auto& marker : m.markers)
        if (marker.label.isNotEmpty())
        {
            ++labelled;
            EXPECT_EQ (marker.colour, UxPanelTheme::Colours::steel) << marker.label;
        }
    EXPECT_EQ (labelled, 9);

    s.stores.harmonics.push_back (tone (0, -110, "right"));
    m = rebuildChart (s);
    ASSERT_EQ (m.traces.size(), 3u);
    for (const auto& t : m.traces)
        EXPECT_EQ (t.bandPartner, -1);

    s.stores.harmonics = { tone (0, -130) };
    EXPECT_TRUE (rebuildChart (s).traces[0].fill);
}

TEST (ChartBuilder, TheMirrorViewPutsAUpAndBDownOnlyWhenTwoSlotsAreDrawn)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    s.chips.spectrumView = 2;
    s.stores.harmonics = { tone (1, -100), tone (0, -130) };
    const auto m = rebuildChart (s);

    EXPECT_EQ (m.yAxis.min, -320.0);
    EXPECT_EQ (m.yAxis.max, 0.0);
    const auto midline = std::find_if (m.yAxis.ticks.begin(), m.yAxis.ticks.end(), [] (const auto& t) { return t.first == -160.0; });
    ASSERT_NE (midline, m.yAxis.ticks.end());
    EXPECT_EQ (midline->second, "=-160");
    EXPECT_EQ (m.yAxis.ticks.front().second, "0");
    EXPECT_EQ (m.yAxis.ticks.back().second, "0") << "below the midline the mirrored value";
    EXPECT_EQ (m.yAxis.ticks.size(), 9u);

    for (const auto& marker : m.markers)
    {
        if (marker.colour == UxPanelTheme::Colours::gold)
            EXPECT_GT (marker.y, -160.0) << "A up";
        else
            EXPECT_LT (marker.y, -160.0) << "B down";
    }

    // Both channels of A alone are no comparison: the spectrum view instead.
    s.stores.harmonics = { tone (0, -120, "left"), tone (0, -125, "right") };
    const auto one = rebuildChart (s);
    EXPECT_EQ (one.yAxis.min, -160.0);
    EXPECT_EQ (one.traces[0].name, "A L  Alpha");
}

TEST (ChartBuilder, SpursOnlyRangeFollowsThePlottedLevels)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    s.chips.spectrumView = 1;
    auto m = rebuildChart (s);
    EXPECT_EQ (m.yAxis.min, -200.0) << "nothing plotted";
    EXPECT_EQ (m.yAxis.max, -60.0);
    EXPECT_EQ (m.yAxis.label, "spurs only (dB re fundamental)");

    // Levels between -130 and -90 (harmonics masked): [20 floor(-136/20), 20 ceil(-78/20)] = [-140, -60].
    auto r = tone (0, -130);
    r.spectrumDb[700] = -90.0f;
    s.stores.harmonics = { r };
    m = rebuildChart (s);
    EXPECT_EQ (m.yAxis.min, -140.0);
    EXPECT_EQ (m.yAxis.max, -60.0);
    EXPECT_TRUE (m.markers.empty()) << "no harmonic markers on spurs only";

    TrChart::Model narrow;
    setSpursRange (narrow, -100.0, -99.0);
    EXPECT_EQ (narrow.yAxis.max - narrow.yAxis.min, 60.0) << "at least 60 dB tall";
}

TEST (ChartBuilder, CurveTracesAreNamedBySlotChannelAndLevel)
{
    auto s = stateWithBothSlots (TrTab::curve);
    s.stores.curves = { response (0, "left", -12), response (0, "right", -12), response (1, "left", -12) };
    auto m = rebuildChart (s);
    ASSERT_EQ (m.traces.size(), 3u);
    EXPECT_EQ (m.traces[0].name, "A L");
    EXPECT_EQ (m.traces[1].name, "A R");
    EXPECT_EQ (m.traces[2].name, "B");
    EXPECT_EQ (m.traces[1].colour, UxPanelTheme::Colours::gold.withMultipliedBrightness (0.7f));

    // Four levels of A: named by level, brightening from 0.55 to 1.
    s.stores.curves.clear();
    for (const auto level : { -24.0, -12.0, -6.0, 0.0 })
        s.stores.curves.push_back (response (0, "left", level));
    m = rebuildChart (s);
    ASSERT_EQ (m.traces.size(), 4u);
    EXPECT_EQ (m.traces[0].name, "A -24 dB");
    EXPECT_EQ (m.traces[3].name, "A 0 dB");
    EXPECT_EQ (m.traces[0].colour, UxPanelTheme::Colours::gold.withMultipliedBrightness (0.55f));
    EXPECT_EQ (m.traces[3].colour, UxPanelTheme::Colours::gold.withMultipliedBrightness (1.0f));

    // A hidden or empty slot draws nothing.
    s.slots[0].visible = false;
    EXPECT_TRUE (rebuildChart (s).traces.empty());
}

TEST (ChartBuilder, TheMagnitudeRangeGroupDelayAndPhaseFollowTheirFormulas)
{
    auto s = stateWithBothSlots (TrTab::curve);
    s.stores.curves = { response (0, "left", -12, { -9, 0, 3 }) };
    auto m = rebuildChart (s);
    // hi 3, lo -9: s = 0.65 * 12 = 7.8, c = -3: [3 floor(-10.8 / 3), 3 ceil(4.8 / 3)].
    EXPECT_EQ (m.yAxis.min, -12.0);
    EXPECT_EQ (m.yAxis.max, 6.0);

    // A pure 1 ms delay left in the phase: -360 f 0.001 degrees reads 1 ms everywhere.
    auto delayed = response (0, "left", -12);
    delayed.freqHz = { 100, 200, 400, 800, 1600, 3200 };
    delayed.magSmoothedDb.assign (6, 0.0f);
    delayed.phaseDeg.clear();
    for (auto f : delayed.freqHz)
        delayed.phaseDeg.push_back (-0.36f * f);
    s.stores.curves = { delayed };
    s.chips.curveView = 2;
    m = rebuildChart (s);
    for (const auto& p : m.traces[0].points)
        EXPECT_NEAR (p.y, 1.0, 1e-4);
    EXPECT_NEAR (m.yAxis.max, 1.25, 1e-6);

    s.stores.curves[0].freqHz = { 1000 };
    s.stores.curves[0].phaseDeg = { 50 };
    s.stores.curves[0].magSmoothedDb = { 0 };
    m = rebuildChart (s);
    ASSERT_EQ (m.traces[0].points.size(), 1u);
    EXPECT_EQ (m.traces[0].points[0].y, 0.0) << "one point has no slope";

    s.chips.curveView = 1;
    s.stores.curves[0].phaseDeg = { 190 };
    m = rebuildChart (s);
    EXPECT_NEAR (m.traces[0].points[0].y, -170.0, 1e-6);
    EXPECT_EQ (m.yAxis.min, -195.0);
}

TEST (ChartBuilder, TheFrequencyAxisEndsAtTheMeasuredRatesNyquist)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    auto r = tone (0, -120);
    r.sampleRate = 96000.0;
    s.stores.harmonics = { r };
    s.chips.sampleRate = 44100.0;
    EXPECT_EQ (rebuildChart (s).xAxis.max, 48000.0) << "the result's rate, not the chip's";

    s.stores.harmonics.clear();
    EXPECT_EQ (rebuildChart (s).xAxis.max, 24000.0) << "no result: at least 24 kHz";
}

TEST (ChartBuilder, AHeldReferenceLiesUnderTheNewTracesWhileItsAxesMatch)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    s.stores.harmonics = { tone (0, -130), tone (1, -100) };
    auto& held = s.held[static_cast<size_t> (TrTab::harmonics)];
    held.held = true;
    held.xLabel = "Hz";
    held.yLabel = "dB re fundamental";
    TrChart::Trace reference;
    reference.name = "held";
    reference.points = { { 100, -50 }, { 1000, -60 } };
    reference.bandPartner = 0;
    held.traces = { reference };

    auto m = rebuildChart (s);
    ASSERT_EQ (m.traces.size(), 3u);
    EXPECT_EQ (m.traces[0].name, "held") << "drawn first, under the new ones";
    EXPECT_EQ (m.traces[0].bandPartner, -1);
    EXPECT_EQ (m.traces[1].bandPartner, 2) << "the band still joins the two new spectra";

    s.chips.harmonicsMode = 3; // IMD has the same axis labels but is another picture
    EXPECT_EQ (named (rebuildChart (s), "held"), nullptr);
    s.chips.harmonicsMode = 0;
    s.chips.spectrumView = 1;
    EXPECT_EQ (named (rebuildChart (s), "held"), nullptr) << "y label differs";
}

TEST (ChartBuilder, ImdMarkersSkipTonesOutsideTheSpectrumAndMarkProducts)
{
    auto s = stateWithBothSlots (TrTab::harmonics);
    s.chips.harmonicsMode = 4;
    TrImdResult r;
    r.standard = "CCIF";
    r.sampleRate = 48000.0;
    r.fftSize = 4096;
    r.binHz = 48000.0 / 4096.0;
    r.f1Hz = 19000.0;
    r.f2Hz = 20000.0;
    r.spectrumDb.assign (2049, -120.0f);
    const auto bin = [&] (double hz) { return static_cast<size_t> (std::lround (hz / r.binHz)); };
    r.spectrumDb[bin (19000)] = 0.0f;
    r.spectrumDb[bin (20000)] = 0.0f;
    r.spectrumDb[bin (1000)] = -80.0f;
    s.stores.imd = { r };

    auto m = rebuildChart (s);
    ASSERT_EQ (m.traces.size(), 1u);
    EXPECT_TRUE (m.traces[0].fill);
    juce::StringArray labels;
    for (const auto& marker : m.markers)
        labels.add (marker.label + (marker.alert ? "!" : ""));
    EXPECT_EQ (labels.joinIntoString (","), "F1,F2,D2!,D3!,D3!");

    // A tone beyond the spectrum has no level: no marker at -999.
    s.stores.imd[0].f2Hz = 30000.0;
    for (const auto& marker : rebuildChart (s).markers)
        EXPECT_GT (marker.y, -200.0) << marker.label;

    s.chips.harmonicsMode = 3;
    EXPECT_TRUE (rebuildChart (s).traces.empty()) << "a CCIF result is not drawn in the SMPTE view";
}

TEST (ChartBuilder, AttackReleaseRangeHoldsInputOutputAndGainReduction)
{
    auto s = stateWithBothSlots (TrTab::dynamics);
    s.chips.dynamicsView = 1;
    TrDynamicsResult r;
    r.inDb = { -30 };
    r.outDb = { -30 };
    r.envTimeSec = { 0.0f, 1.0f, 2.0f };
    r.envInDb = { -30, -6, -30 };
    r.envOutDb = { -40, -10, -41 };
    r.envGainDb = { 0, -8, 0 };
    s.stores.dynamics = { r };
    const auto m = rebuildChart (s);

    for (const auto& t : m.traces)
        for (const auto& p : t.points)
        {
            EXPECT_GE (p.y, m.yAxis.min) << t.name;
            EXPECT_LE (p.y, m.yAxis.max) << t.name;
        }
    EXPECT_EQ (m.yAxis.min, -48.0) << "6 floor((-41 - 3) / 6)";
    EXPECT_NE (named (m, "A out"), nullptr);
    EXPECT_NE (named (m, "A GR"), nullptr);
    EXPECT_NE (named (m, "input"), nullptr);
}

TEST (ChartBuilder, PerfWithoutResultsSpansTheUsualBlockSizesLabelledAsTicks)
{
    auto s = stateWithBothSlots (TrTab::perf);
    auto m = rebuildChart (s);
    EXPECT_NEAR (m.xAxis.min, 32.0 / 1.15, 1e-9);
    EXPECT_NEAR (m.xAxis.max, 1024.0 * 1.15, 1e-9);
    ASSERT_EQ (m.xAxis.ticks.size(), 6u);
    EXPECT_EQ (m.xAxis.ticks.front().second, "32");
    EXPECT_EQ (m.xAxis.label, "block size (samples)");

    TrPerfResult r;
    r.blockSizes = { 64, 512 };
    r.percentRealtime = { 2.0f, 0.5f };
    s.stores.perf = { r };
    m = rebuildChart (s);
    EXPECT_NEAR (m.xAxis.min, 64.0 / 1.15, 1e-9);
    EXPECT_EQ (m.yAxis.max, 2.5);
    EXPECT_EQ (m.markers.size(), 2u);
}
