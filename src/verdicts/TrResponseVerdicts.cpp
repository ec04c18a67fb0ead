#include "TrVerdict.h"

#include "results/TrLatencyRule.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace TrVerdict
{
namespace
{
/** Peak-to-peak of the smoothed magnitude from 50 Hz to 0.4 times the sample rate; 0 when no
    point lies there. */
double spanInJudgedBand (const TrCurveResult& r)
{
    double low = 1e9, high = -1e9;
    const auto n = std::min (r.freqHz.size(), r.magSmoothedDb.size());

    for (size_t i = 0; i < n; ++i)
    {
        if (r.freqHz[i] < 50.0f || r.freqHz[i] > 0.4 * r.sampleRate)
            continue;

        const auto m = static_cast<double> (r.magSmoothedDb[i]);
        if (m < low)
            low = m;
        if (m > high)
            high = m;
    }

    return high > low ? high - low : 0.0;
}
}

Verdict forCurve (const TrCurveResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    if (r.polarityInverted)
        return { Grade::bad, "Flips the waveform upside-down - cancels the dry signal in parallel chains", {} };

    if (r.timeVariant)
        return { Grade::warn, "Moves by itself (LFO/modulation) - this curve is a snapshot, not a fixed EQ", {} };

    // A response without a single, steady arrival has nothing to hold the report against.
    if (! r.latencyUnclear && fitOfLatency (r.measuredLatency, r.reportedLatency, r.arrivalEarliest, r.arrivalLatest) == TrLatencyFit::disagrees)
        return { Grade::warn, "Reports its delay wrong - tracks can slip out of time",
                 "says " + juce::String (r.reportedLatency) + ", really " + TrNumberFormat::fixed (r.measuredLatency, 1) + " smp" };

    const auto span = spanInJudgedBand (r);
    if (span <= 0.25)
        return { Grade::good, "Does not change the tone - flat response", "overall gain " + detail_::db (r.gainAt1kDb, 1) };
    if (span <= 1.5)
        return { Grade::good, "Barely touches the tone", detail_::db (span, 1) + " of shaping" };
    if (span <= 6.0)
        return { Grade::ok, "Shapes the tone: " + detail_::db (span, 1) + " of EQ-style coloring", {} };

    return { Grade::ok, "Strong tone shaping: " + detail_::db (span, 1) + " across the range", {} };
}

Verdict forNull (const TrNullResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error, "Comparison failed");

    const auto depth = r.nullDepthDb;
    const auto detail = detail_::db (depth, 1) + " null";

    if (depth < -90.0)
        return { Grade::good, "Identical - they cancel to silence", detail };
    if (depth < -60.0)
        return { Grade::good, "Effectively identical - the difference is inaudible", detail };
    if (depth < -40.0)
        return { Grade::ok, "Very close - only minor differences remain", detail };
    if (depth < -25.0)
        return { Grade::ok, "Similar, but measurably different", detail };
    if (depth < -10.0)
        return { Grade::warn, "Clearly different - press N to hear exactly what differs", detail };

    return { Grade::warn, "Very different (or one modulates - modulated plugins never cancel)", detail };
}
}
