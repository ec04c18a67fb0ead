#include "TrFixtureFilters.h"
#include "TrFixtureModes.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrCurveResult measure (const juce::StringArray& fixture, TrFreqResponseAnalyzer::Params params = {})
{
    Bench bench;
    EXPECT_EQ (TrTest::loadFixture (bench.slot, fixture), "");
    return TrFreqResponseAnalyzer::run (bench.slot, params, nullptr, {});
}

/** Calls check (frequency, magDb, phaseDeg) for the points from lowHz to highHz. */
template <typename Check>
void forBand (const TrCurveResult& r, double lowHz, double highHz, Check&& check)
{
    for (size_t i = 0; i < r.freqHz.size(); ++i)
        if (r.freqHz[i] >= lowHz && r.freqHz[i] <= highHz)
            check (static_cast<double> (r.freqHz[i]), static_cast<double> (r.magDb[i]), static_cast<double> (r.phaseDeg[i]));
}
}

TEST (FreqResponse, AWireIsFlatWithoutDelayOrPhaseCharacter)
{
    const auto r = measure ({});
    ASSERT_EQ (r.error, "");

    ASSERT_EQ (r.freqHz.size(), 2048u);
    EXPECT_FLOAT_EQ (r.freqHz.front(), 20.0f);
    EXPECT_FLOAT_EQ (r.freqHz.back(), 0.99f * 24000.0f);
    forBand (r, 30.0, 16000.0, [] (double f, double db, double deg) {
        ASSERT_NEAR (db, 0.0, 0.01) << f << " Hz";
        ASSERT_NEAR (deg, 0.0, 0.5) << f << " Hz";
    });
    EXPECT_NEAR (r.measuredLatency, 0.0, 0.01);
    EXPECT_EQ (r.reportedLatency, 0);
    EXPECT_FALSE (r.polarityInverted);
    EXPECT_NEAR (r.gainAt1kDb, 0.0, 0.01);
    EXPECT_TRUE (r.phaseCharacter.isEmpty());
    EXPECT_EQ (r.phaseDevFlatDeg, -1.0);
    EXPECT_EQ (r.repeatabilityDb, -1.0) << "no repeat asked";
    EXPECT_GT (r.cpuNsPerSample, 0.0);
}

TEST (FreqResponse, DelaysAreFoundToAFractionOfASampleAndRemovedFromThePhase)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        double delay;
        double tolerance;
        int reported;
    } cases[] {
        { "100 samples", { "Delay=100" }, 100.0, 0.01, 100 },
        { "31.5 samples", { "Mode=Half sample" }, 31.5, 0.02, 31 },
    };

    for (const auto& c : cases)
    {
        const auto r = measure (c.fixture);
        ASSERT_EQ (r.error, "") << c.label;
        EXPECT_NEAR (r.measuredLatency, c.delay, c.tolerance) << c.label;
        EXPECT_EQ (r.reportedLatency, c.reported) << c.label;
        forBand (r, 30.0, 10000.0, [&] (double f, double, double deg) { ASSERT_NEAR (deg, 0.0, 2.0) << c.label << " " << f << " Hz"; });
    }
}

TEST (FreqResponse, AnInvertingWireIsFlaggedAsInverted)
{
    const auto r = measure ({ "Mode=Invert" });
    ASSERT_EQ (r.error, "");
    EXPECT_TRUE (r.polarityInverted);
    EXPECT_NEAR (r.measuredLatency, 0.0, 0.01);
}

TEST (FreqResponse, APeakingBiquadMatchesItsAnalyticResponseAndIsMinimumPhase)
{
    const auto r = measure ({ "Mode=Peak EQ" });
    ASSERT_EQ (r.error, "");

    const auto biquad = TrFixtureFilters::peaking (TrFixtureModes::peakHz, TrFixtureModes::peakGainDb, TrFixtureModes::peakQ, 48000.0);
    forBand (r, 30.0, 16000.0, [&] (double f, double db, double deg) {
        ASSERT_NEAR (db, 20.0 * std::log10 (std::abs (biquad.response (f, 48000.0))), 0.05) << f << " Hz";
        ASSERT_NEAR (deg, std::arg (biquad.response (f, 48000.0)) * 180.0 / M_PI, 0.5) << f << " Hz";
    });

    EXPECT_NEAR (r.measuredLatency, 0.0, 0.01) << "a minimum-phase filter starts at once";
    EXPECT_NEAR (r.gainAt1kDb, 6.0, 0.05);
    EXPECT_EQ (r.phaseCharacter, "minimum");
    EXPECT_LT (r.phaseDevMinPhaseDeg, 15.0);
    EXPECT_GE (r.phaseDevFlatDeg, 10.0);
}

TEST (FreqResponse, ALinearPhaseTwinIsLinearAndItsDelayIsFound)
{
    const auto r = measure ({ "Mode=Linear EQ" });
    ASSERT_EQ (r.error, "");

    EXPECT_EQ (r.phaseCharacter, "linear");
    EXPECT_LT (r.phaseDevFlatDeg, 10.0);
    EXPECT_NEAR (r.measuredLatency, (TrFixtureModes::linearTaps - 1) / 2, 0.01);
    EXPECT_EQ (r.reportedLatency, (TrFixtureModes::linearTaps - 1) / 2);
    EXPECT_NEAR (r.gainAt1kDb, 6.0, 0.1);
}

TEST (FreqResponse, RepeatSweepsTellAModulatedPluginFromAStaticOne)
{
    TrFreqResponseAnalyzer::Params params;
    params.repeat = true;

    const auto wobble = measure ({ "Mode=Wobble" }, params);
    const auto eq = measure ({ "Mode=Peak EQ" }, params);
    ASSERT_EQ (wobble.error + eq.error, "");

    EXPECT_TRUE (wobble.timeVariant);
    EXPECT_GT (wobble.repeatabilityDb, 0.25);
    EXPECT_FALSE (eq.timeVariant);
    EXPECT_LT (eq.repeatabilityDb, 0.01);
}

TEST (FreqResponse, TwoPointsSpanTheRangeAndFailuresAreReported)
{
    TrFreqResponseAnalyzer::Params params;
    params.points = 2;
    params.sweepSeconds = 1.0;
    params.tailSeconds = 0.25;
    const auto two = measure ({}, params);
    ASSERT_EQ (two.error, "");
    EXPECT_EQ (two.freqHz, (std::vector<float> { 20.0f, 0.99f * 24000.0f }));

    EXPECT_EQ (measure ({ "Mode=NaN" }, params).error, TrErrorText::nonFinite);

    Bench bench;
    EXPECT_EQ (TrFreqResponseAnalyzer::run (bench.slot, params, nullptr, {}).error, TrErrorText::noPlugin);
    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");
    EXPECT_EQ (TrFreqResponseAnalyzer::run (bench.slot, params, nullptr, [] { return true; }).error, TrErrorText::aborted);

    params.points = 1;
    EXPECT_TRUE (TrFreqResponseAnalyzer::run (bench.slot, params, nullptr, {}).error.contains ("points"));
}

TEST (FreqResponse, DistortionDoesNotReadAsEq)
{
    // A memoryless clipper has no frequency response: the sweep's harmonics, which the
    // exponential sweep places ahead of the linear response, are gated out of the curve.
    // What remains is the aliasing of the harmonics above Nyquist, which this clipper really
    // makes: a few tenths of a dB. Ungated, the curve swung over 7 dB.
    TrFreqResponseAnalyzer::Params loud;
    loud.levelDb = 0.0;
    const auto r = measure ({ "Mode=Soft clip", "Drive=2" }, loud);
    ASSERT_EQ (r.error, "");

    double low = 1e9, high = -1e9;
    forBand (r, 50.0, 1000.0, [&] (double, double db, double deg) {
        low = std::min (low, db);
        high = std::max (high, db);
        EXPECT_NEAR (deg, 0.0, 5.0);
    });
    EXPECT_LT (high - low, 1.0);
    EXPECT_NE (r.phaseCharacter, "mixed");
}
