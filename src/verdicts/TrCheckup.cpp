#include "TrVerdict.h"

#include "results/TrNumberFormat.h"

#include <algorithm>

namespace TrVerdict
{
namespace
{
template <typename Result>
Verdict partVerdict (const Result* result, Verdict (*judge) (const Result&))
{
    return result != nullptr ? judge (*result) : detail_::notMeasured();
}

template <typename Result>
bool failed (const Result* result)
{
    return result != nullptr && result->error.isNotEmpty();
}

/** The larger processing cost the tone and the sweep measured, as percent of real time; 0 when
    neither measured one. */
double costPercent (const TrHarmonicsResult* harmonics, const TrCurveResult* curve)
{
    double percent = 0.0;
    if (harmonics != nullptr && harmonics->error.isEmpty())
        percent = std::max (percent, harmonics->cpuNsPerSample * harmonics->sampleRate / 1e7);
    if (curve != nullptr && curve->error.isEmpty())
        percent = std::max (percent, curve->cpuNsPerSample * curve->sampleRate / 1e7);
    return percent;
}
}

Checkup forCheckup (const TrHarmonicsResult* harmonics, const TrCurveResult* curve, const TrChecksResult* checks)
{
    Checkup c;
    c.harmonics = partVerdict (harmonics, forHarmonics);
    c.curve = partVerdict (curve, forCurve);
    c.checks = partVerdict (checks, forChecks);

    auto worst = Grade::good;
    for (const auto* part : { &c.harmonics, &c.curve, &c.checks })
        if (severity (part->grade) > severity (worst))
            worst = part->grade;

    // Nothing that needs more than a core is light, whatever else it gets right.
    const auto cost = costPercent (harmonics, curve);
    const auto realTime = cost < 100.0;
    if (! realTime)
        worst = Grade::bad;

    c.overall.grade = worst;

    if (failed (harmonics) || failed (curve) || failed (checks))
        c.overall.text = "Measurement failed"; // a failure must not read as a finding about the plugin
    else if (! realTime)
        c.overall.text = "Cannot run in real time - it needs " + TrNumberFormat::fixed (cost, 0) + " % of one core";
    else if (worst == Grade::good)
        c.overall.text = "Clean, honest and light - safe on anything";
    else if (c.checks.grade == Grade::warn || c.checks.grade == Grade::bad)
        c.overall.text = c.checks.text;
    else if (c.harmonics.grade == Grade::bad)
        c.overall.text = "Adds audible artefacts - use with care";
    else if (c.curve.grade == Grade::bad)
        c.overall.text = c.curve.text; // the one finding that made it bad, in its own words
    else
        c.overall.text = "Colors the sound on purpose; honest plugin";

    return c;
}
}
