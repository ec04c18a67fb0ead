#include "TrFixtureSlot.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "dsp/TrSettle.h"
#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>

// Many plugins fade in or smooth their parameters after a reset. Every measurement waits that
// out, so that a ramp reads neither as tone shaping nor as modulation; real modulation still
// shows.

TEST (Settle, AFadeInAfterResetIsWaitedOutByEveryMeasurement)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    ASSERT_EQ (TrTest::loadFixture (slot, { "Mode=Fade in" }), "");

    TrFreqResponseAnalyzer::Params sweep;
    sweep.repeat = true;
    const auto curve = TrFreqResponseAnalyzer::run (slot, sweep, nullptr, {});
    ASSERT_EQ (curve.error, "");
    for (size_t i = 0; i < curve.freqHz.size(); ++i)
    {
        if (curve.freqHz[i] >= 30.0f && curve.freqHz[i] <= 16000.0f)
        {
            ASSERT_NEAR (curve.magDb[i], 0.0, 0.01) << curve.freqHz[i] << " Hz";
        }
    }
    EXPECT_LT (curve.repeatabilityDb, 0.01);
    EXPECT_FALSE (curve.timeVariant);

    const auto tone = TrHarmonicsAnalyzer::run (slot, {}, nullptr, {});
    ASSERT_EQ (tone.error, "");
    EXPECT_FALSE (tone.timeVariant);
    EXPECT_LT (tone.repeatDeltaDb, 0.01);

    const auto checks = TrChecksAnalyzer::run (slot, {}, nullptr, {});
    ASSERT_EQ (checks.error, "");
    EXPECT_EQ (TrVerdict::forChecks (checks).grade, TrVerdict::Grade::good) << TrVerdict::forChecks (checks).text;
}

TEST (Settle, AWireSettlesInAFewPeriodsAndModulationRunsToTheCap)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        bool steady;
        double fromSeconds, toSeconds;
    } cases[] {
        // Three periods of the multitone, then one of silence.
        { "wire", {}, true, 0.3, 0.4 },
        // Until 0.5 s after the reset, then as the wire.
        { "fade-in", { "Mode=Fade in" }, true, 0.5, 0.9 },
        // Never steady: 2 s of multitone, then the silence it stops on.
        { "modulation", { "Mode=Wobble" }, false, 2.0, 2.2 },
    };

    for (const auto& c : cases)
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);
        ASSERT_EQ (TrTest::loadFixture (slot, c.fixture), "") << c.label;
        slot.instance->reset();

        TrSettle::Outcome outcome;
        ASSERT_TRUE (TrSettle::run (*slot.instance, 48000.0, 512, TrChannelMode::left, 0.25, {}, &outcome)) << c.label;
        EXPECT_EQ (outcome.steady, c.steady) << c.label;
        EXPECT_GE (outcome.samples / 48000.0, c.fromSeconds) << c.label;
        EXPECT_LE (outcome.samples / 48000.0, c.toSeconds) << c.label;
    }
}

TEST (Settle, TheMultitoneIsPeriodicFlatInBandAndPeaksAtItsAmplitude)
{
    const auto period = TrSettle::periodFor (48000.0);
    EXPECT_EQ (period, 4096);
    EXPECT_EQ (TrSettle::periodFor (96000.0), 8192);
    EXPECT_EQ (TrSettle::periodFor (8000.0), 512);

    const auto tone = TrSettle::multitone (period, 48000.0, 0.25);
    ASSERT_EQ (tone.size(), static_cast<size_t> (period));
    float peak = 0.0f;
    for (auto v : tone)
        peak = std::max (peak, std::abs (v));
    EXPECT_NEAR (peak, 0.25f, 1e-6f);

    // Every bin from 20 Hz to 0.45 x the rate carries the same amplitude; the others none
    // (beyond float rounding).
    const auto magnitudeAt = [&] (int k) {
        double re = 0.0, im = 0.0;
        for (int i = 0; i < period; ++i)
        {
            re += tone[static_cast<size_t> (i)] * std::cos (2.0 * M_PI * k * i / period);
            im -= tone[static_cast<size_t> (i)] * std::sin (2.0 * M_PI * k * i / period);
        }
        return std::hypot (re, im);
    };

    const auto reference = magnitudeAt (static_cast<int> (std::ceil (20.0 * period / 48000.0)));
    for (int k = 1; k < period / 2; ++k)
    {
        const auto hz = k * 48000.0 / period;
        const auto expected = hz >= 20.0 && hz <= 0.45 * 48000.0 ? reference : 0.0;
        ASSERT_NEAR (magnitudeAt (k), expected, 1e-5 * reference) << hz << " Hz";
    }
}
