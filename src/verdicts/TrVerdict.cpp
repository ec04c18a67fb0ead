#include "TrVerdict.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace TrVerdict
{
juce::String gradeName (Grade grade)
{
    switch (grade)
    {
        case Grade::good: return "good";
        case Grade::ok:   return "ok";
        case Grade::warn: return "warn";
        case Grade::bad:  return "bad";
        case Grade::none:
        default:          return "none";
    }
}

int severity (Grade grade)
{
    const auto value = static_cast<int> (grade);
    return value >= 1 && value <= 4 ? value : 0;
}

namespace detail_
{
juce::String db (double value, int decimals)
{
    return TrNumberFormat::fixed (value, decimals) + " dB";
}

juce::String hzOrDb (float value, bool isLevel)
{
    const auto rounded = [] (double v) { return juce::String (static_cast<long long> (std::round (v))); };

    if (isLevel)
        return rounded (value) + " dBFS";

    if (value >= 1000.0f)
        return TrNumberFormat::fixed (value / 1000.0, 1) + " kHz";

    return rounded (value) + " Hz";
}

juce::String percent (double value)
{
    return TrNumberFormat::percent (value);
}

Verdict notMeasured()
{
    return { Grade::none, "not measured", {} };
}

Verdict failed (const juce::String& error, const juce::String& headline)
{
    return { Grade::warn, headline, error };
}

void addWarning (Verdict& verdict, const juce::String& finding)
{
    if (verdict.grade != Grade::warn && verdict.grade != Grade::bad)
        verdict.grade = Grade::warn;

    verdict.detail = verdict.detail.isEmpty() ? finding : verdict.detail + "; " + finding;
}
}
}
