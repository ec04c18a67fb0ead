#include "TrVerdict.h"

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

    c.overall.grade = worst;

    if (worst == Grade::good)
        c.overall.text = "Clean, honest and light - safe on anything";
    else if (failed (harmonics) || failed (curve) || failed (checks))
        c.overall.text = "Measurement failed"; // a failure must not read as a finding about the plugin
    else if (c.checks.grade == Grade::warn || c.checks.grade == Grade::bad)
        c.overall.text = c.checks.text;
    else if (worst == Grade::bad)
        c.overall.text = "Adds audible artefacts - use with care";
    else
        c.overall.text = "Colors the sound on purpose; honest plugin";

    return c;
}
}
