#include "TrVerdict.h"

#include "results/TrLatencyRule.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace TrVerdict
{
namespace
{
/** A time at or above the envelope's resolution, or "< resolution" below it. */
juce::String timeText (double ms, double resolutionMs, int decimals)
{
    if (ms < resolutionMs)
        return "< " + TrNumberFormat::fixed (resolutionMs, 1) + " ms";
    return (decimals > 0 ? TrNumberFormat::fixed (ms, decimals) : TrNumberFormat::plain (ms)) + " ms";
}

juce::String timingText (const TrDynamicsResult& r)
{
    juce::String text;
    if (r.attackMs >= 0.0)
        text << "attack " << timeText (r.attackMs, r.timeResolutionMs, 1);

    if (r.releaseMs >= 0.0)
        text << (text.isEmpty() ? "" : ", ") << "release " << timeText (r.releaseMs, r.timeResolutionMs, 0);

    return text;
}

/** Why the delay could not be checked, or empty when it was. */
juce::String unverifiedDelay (const TrChecksResult& r)
{
    if ((r.latencyAtSearchLimit || r.latencyUnclear) && r.reportedLatencyAfter >= TrChecksResult::latencySearchLimit)
        return "it reports " + juce::String (r.reportedLatencyAfter) + " smp, more than the probe can see";
    if (r.latencyUnclear)
        return r.timeVariant      ? "its response changes from one probe to the next"
             : r.responseSpread ? "its response is spread out over time, like a reverb's"
                                : "no clear response to the probe";
    if (! r.latencyAtSearchLimit && fitOfLatency (r.measuredLatency, r.reportedLatencyAfter, r.arrivalEarliest, r.arrivalLatest) == TrLatencyFit::dispersed)
        return "its " + arrivalSpreadText (r.arrivalEarliest, r.arrivalLatest) + ", as an all-pass network does";
    return {};
}

juce::StringArray checksProblems (const TrChecksResult& r)
{
    juce::StringArray problems;

    const auto lies = r.latencyAtSearchLimit ? r.reportedLatencyAfter < TrChecksResult::latencySearchLimit
                                             : ! r.latencyUnclear && fitOfLatency (r.measuredLatency, r.reportedLatencyAfter, r.arrivalEarliest, r.arrivalLatest) == TrLatencyFit::disagrees;
    if (lies)
        problems.add ("lies about its delay");
    if (r.reportedLatency != r.reportedLatencyAfter)
        problems.add ("changes its reported delay after audio starts");
    if (r.bypassFound && r.bypassNullDb > -60.0)
        problems.add ("its bypass still colors the sound");
    if (r.polarityInverted)
        problems.add ("flips polarity");
    if (std::max (r.dcSignalDbfs, r.dcIdleDbfs) > -60.0)
        problems.add ("adds DC offset");
    if (r.selfNoiseDbfs > -90.0)
        problems.add ("makes noise on pure silence");

    return problems;
}
}

Verdict forDynamics (const TrDynamicsResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    const auto timing = timingText (r);

    if (r.shape == "irregular")
        return { Grade::none, "Level changes the sound, but not like a compressor - no static curve fits",
                 "the gain wanders " + detail_::db (r.fitErrorDb, 1) + " RMS with level" };
    if (r.shape == "gate")
        return { Grade::none, "Gates below " + detail_::db (r.thresholdDb, 1) + " - quieter input is muted", {} };
    if (r.shape == "expander")
        return { Grade::none, "Expands below " + detail_::db (r.thresholdDb, 1) + " at 1:" + TrNumberFormat::fixed (1.0 / r.ratio, 1)
                                  + " - quiet parts get quieter",
                 "makeup " + detail_::db (r.makeupDb, 1) };

    if (r.ratio <= 1.05)
        return { Grade::none, "No compression at these levels - level in equals level out",
                 std::abs (r.makeupDb) >= 0.05 ? "but the gain is " + detail_::db (r.makeupDb, 1) + " throughout" : juce::String() };

    if (r.ratio > 100.0)
        return { Grade::none, "Brick-wall limiting above " + detail_::db (r.thresholdDb, 1) + " - nothing gets past", timing };

    return { Grade::none,
             "Compresses above " + detail_::db (r.thresholdDb, 1) + " at " + TrNumberFormat::fixed (r.ratio, 1) + ":1",
             timing + (timing.isEmpty() ? "" : ", ") + "makeup " + detail_::db (r.makeupDb, 1) };
}

Verdict forPerf (const TrPerfResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    Verdict verdict;

    if (r.denormalRatio > 4.0)
    {
        verdict = { Grade::bad, "CPU explodes when the audio stops (denormal bug)",
                    TrNumberFormat::fixed (r.denormalRatio, 1) + "x cost on silence" };
    }
    else
    {
        // Judged at the block size that costs most: small blocks can cost many times what
        // 512-sample blocks do.
        const auto worstElsewhere = r.worstBlockSize > 0 && r.worstBlockSize != 512;
        const auto p = worstElsewhere ? r.worstPercentRealtime : r.percentRealtimeAt512;
        const auto at = " at " + juce::String (worstElsewhere ? r.worstBlockSize : 512) + " samples";
        const auto cost = TrNumberFormat::fixed (p, p < 10.0 ? 2 : 1) + " % of one core" + (worstElsewhere ? at : juce::String());

        if (p < 1.0)
            verdict = { Grade::good, "Costs almost nothing: " + cost, {} };
        else if (p < 10.0)
            verdict = { Grade::good, "Light on the CPU: " + cost, {} };
        else if (p < 40.0)
            verdict = { Grade::ok, "Moderate cost: " + cost + (worstElsewhere ? juce::String() : at), {} };
        else if (p < 100.0)
            verdict = { Grade::warn, "Heavy: " + cost + " - a few of these fill a core", {} };
        else
            verdict = { Grade::bad, "Cannot run in real time: " + cost + " - more than a whole core", {} };
    }

    const auto bufferBudgetMs = 512.0 / r.sampleRate * 1000.0;
    if (r.worst512BlockMs > 0.8 * bufferBudgetMs)
        detail_::addWarning (verdict, "spikes up to " + TrNumberFormat::fixed (r.worst512BlockMs, 2) + " ms per buffer can crackle");

    return verdict;
}

Verdict forChecks (const TrChecksResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    const auto problems = checksProblems (r);
    const auto unverified = unverifiedDelay (r);
    const auto caveat = unverified.isEmpty() ? juce::String() : "cannot verify its delay: " + unverified;

    // A delay the probe cannot check is no finding against the plugin, but no clean bill either.
    if (problems.isEmpty() && caveat.isNotEmpty())
        return { Grade::ok, "No problems found, but its delay could not be verified", unverified };

    if (problems.isEmpty())
        return { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out",
                 r.bypassFound ? juce::String() : "no bypass parameter exposed to test" };

    if (problems.size() == 1)
        return { Grade::warn, "One problem: " + problems[0], caveat };

    return { Grade::bad, juce::String (problems.size()) + " problems: " + problems.joinIntoString (", "), caveat };
}

Verdict forScope (const TrScopeResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    if (r.outputPeakDb > -0.1)
        return { Grade::warn, "Output touches the digital ceiling - flattened tops = clipping", {} };

    return { Grade::none, "Output is " + detail_::db (r.outputPeakDb - r.inputPeakDb, 1) + " vs input - watch the wave shape while you tweak", {} };
}
}
