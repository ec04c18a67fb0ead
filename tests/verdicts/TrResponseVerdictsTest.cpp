#include "TrVerdictExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using TrVerdict::Grade;
using TrTest::expectVerdict;

namespace
{

/** A curve over 20 Hz .. 24 kHz whose smoothed magnitude is given by a function of frequency. */
TrCurveResult curve (const std::function<float (float)>& magnitude)
{
    TrCurveResult r;
    for (float f = 20.0f; f < 24000.0f; f *= 1.05f)
    {
        r.freqHz.push_back (f);
        r.magSmoothedDb.push_back (magnitude (f));
    }
    return r;
}
}

TEST (CurveVerdict, RowsInOrderAndTheJudgedBand)
{
    const auto flat = [] (float) { return 0.0f; };
    const auto shelf = [] (float span) { return [span] (float f) { return f > 1000.0f ? span : 0.0f; }; };

    const struct
    {
        const char* label;
        TrCurveResult result;
        std::function<void (TrCurveResult&)> change;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "failed", curve (flat), [] (auto& r) { r.error = "aborted"; }, { Grade::warn, "Measurement failed", "aborted" } },
        { "inverted and lying", curve (flat), [] (auto& r) { r.polarityInverted = true; r.reportedLatency = 64; },
          { Grade::bad, "Flips the waveform upside-down - cancels the dry signal in parallel chains", "" } },
        { "time-variant", curve (flat), [] (auto& r) { r.timeVariant = true; },
          { Grade::warn, "Moves by itself (LFO/modulation) - this curve is a snapshot, not a fixed EQ", "" } },
        { "64 reported, 63 measured", curve (flat), [] (auto& r) { r.reportedLatency = 64; r.measuredLatency = 63.0; r.gainAt1kDb = -0.04; },
          { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
        { "64 reported, 60.5 measured", curve (flat), [] (auto& r) { r.reportedLatency = 64; r.measuredLatency = 60.5; },
          { Grade::warn, "Reports its delay wrong - tracks can slip out of time", "says 64, really 60.5 smp" } },
        { "falls 20 dB above the band", curve ([] (float f) { return f > 0.4f * 48000.0f ? -20.0f : 0.2f * (f > 1000.0f); }), {},
          { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
        { "no point in the band", [] { TrCurveResult r; r.freqHz = { 20.0f, 30.0f }; r.magSmoothedDb = { 0.0f, 30.0f }; return r; }(), {},
          { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
        { "NaN points do not count", curve ([] (float f) { return f > 5000.0f ? NAN : 0.0f; }), {},
          { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
        { "span 0.25", curve (shelf (0.25f)), {}, { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
        { "span 1.5", curve (shelf (1.5f)), {}, { Grade::good, "Barely touches the tone", "1.5 dB of shaping" } },
        { "span 6", curve (shelf (6.0f)), {}, { Grade::ok, "Shapes the tone: 6.0 dB of EQ-style coloring", "" } },
        { "span 3.2", curve (shelf (3.2f)), {}, { Grade::ok, "Shapes the tone: 3.2 dB of EQ-style coloring", "" } },
        { "span 12", curve (shelf (-12.0f)), {}, { Grade::ok, "Strong tone shaping: 12.0 dB across the range", "" } },
        { "span just past 0.25", curve (shelf (0.26f)), {}, { Grade::good, "Barely touches the tone", "0.3 dB of shaping" } },
        { "span just past 1.5", curve (shelf (1.51f)), {}, { Grade::ok, "Shapes the tone: 1.5 dB of EQ-style coloring", "" } },
        { "span just past 6", curve (shelf (6.01f)), {}, { Grade::ok, "Strong tone shaping: 6.0 dB across the range", "" } },
        { "3.01 samples off", curve (flat), [] (auto& r) { r.reportedLatency = 64; r.measuredLatency = 60.99; },
          { Grade::warn, "Reports its delay wrong - tracks can slip out of time", "says 64, really 61.0 smp" } },
        { "no single arrival: not judged", curve (flat), [] (auto& r) { r.reportedLatency = 0; r.measuredLatency = 202.0; r.latencyUnclear = true; },
          { Grade::good, "Does not change the tone - flat response", "overall gain 0.0 dB" } },
    };

    for (const auto& c : cases)
    {
        auto r = c.result;
        if (c.change)
            c.change (r);
        expectVerdict (TrVerdict::forCurve (r), c.expected, c.label);
    }
}

TEST (NullVerdict, DepthBoundsAreStrict)
{
    const struct
    {
        double depth;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { -95.0, { Grade::good, "Identical - they cancel to silence", "-95.0 dB null" } },
        { -90.01, { Grade::good, "Identical - they cancel to silence", "-90.0 dB null" } },
        { -90.0, { Grade::good, "Effectively identical - the difference is inaudible", "-90.0 dB null" } },
        { -60.01, { Grade::good, "Effectively identical - the difference is inaudible", "-60.0 dB null" } },
        { -60.0, { Grade::ok, "Very close - only minor differences remain", "-60.0 dB null" } },
        { -40.01, { Grade::ok, "Very close - only minor differences remain", "-40.0 dB null" } },
        { -40.0, { Grade::ok, "Similar, but measurably different", "-40.0 dB null" } },
        { -25.01, { Grade::ok, "Similar, but measurably different", "-25.0 dB null" } },
        { -25.0, { Grade::warn, "Clearly different - press N to hear exactly what differs", "-25.0 dB null" } },
        { -10.01, { Grade::warn, "Clearly different - press N to hear exactly what differs", "-10.0 dB null" } },
        { -10.0, { Grade::warn, "Very different (or one modulates - modulated plugins never cancel)", "-10.0 dB null" } },
        { NAN, { Grade::warn, "Very different (or one modulates - modulated plugins never cancel)", "nan dB null" } },
    };

    for (const auto& c : cases)
    {
        TrNullResult r;
        r.nullDepthDb = c.depth;
        expectVerdict (TrVerdict::forNull (r), c.expected, juce::String (c.depth));
    }

    TrNullResult failed;
    failed.nullDepthDb = -120.0;
    failed.error = "test signal is too short";
    expectVerdict (TrVerdict::forNull (failed), { Grade::warn, "Comparison failed", "test signal is too short" }, "failed");
}
