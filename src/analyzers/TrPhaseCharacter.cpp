#include "TrPhaseCharacter.h"

#include "dsp/TrTransfer.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>

namespace TrPhaseCharacter
{
namespace
{
constexpr double flatSpanDb = 0.75;
constexpr double judgedRangeDb = 60.0;
constexpr double linearDeviationDeg = 10.0;
constexpr double minimumDeviationDeg = 15.0;

bool inBand (float hz, double sampleRate)
{
    return hz >= 50.0f && hz <= 0.4 * sampleRate;
}

/** Largest distance of the values from their least-squares line over frequency. */
double deviationFromLine (const std::vector<double>& f, const std::vector<double>& y)
{
    const auto n = static_cast<double> (f.size());
    double sf = 0.0, sy = 0.0, sff = 0.0, sfy = 0.0;
    for (size_t i = 0; i < f.size(); ++i)
    {
        sf += f[i];
        sy += y[i];
        sff += f[i] * f[i];
        sfy += f[i] * y[i];
    }

    const auto denominator = n * sff - sf * sf;
    const auto slope = std::abs (denominator) > 1e-9 ? (n * sfy - sf * sy) / denominator : 0.0;
    const auto intercept = (sy - slope * sf) / n;

    double deviation = 0.0;
    for (size_t i = 0; i < f.size(); ++i)
        deviation = std::max (deviation, std::abs (y[i] - (intercept + slope * f[i])));

    return deviation;
}
}

void classify (TrCurveResult& r, const std::vector<int>& pointBins, const std::vector<std::complex<double>>& transfer, int n)
{
    double low = 1e9, high = -1e9;
    for (size_t i = 0; i < r.freqHz.size(); ++i)
    {
        if (inBand (r.freqHz[i], r.sampleRate))
        {
            low = std::min (low, static_cast<double> (r.magSmoothedDb[i]));
            high = std::max (high, static_cast<double> (r.magSmoothedDb[i]));
        }
    }

    if (high < low || high - low <= flatSpanDb)
        return;

    const auto minimum = TrTransfer::minimumPhase (transfer, n);
    const auto toDegrees = 180.0 / juce::MathConstants<double>::pi;

    std::vector<double> f, measured, excess;
    for (size_t i = 0; i < r.freqHz.size(); ++i)
    {
        if (! inBand (r.freqHz[i], r.sampleRate) || r.magSmoothedDb[i] < high - judgedRangeDb)
            continue;

        f.push_back (r.freqHz[i]);
        measured.push_back (r.phaseDeg[i]);
        excess.push_back (r.phaseDeg[i] - minimum[static_cast<size_t> (pointBins[i])] * toDegrees);
    }

    r.phaseDevFlatDeg = deviationFromLine (f, measured);
    r.phaseDevMinPhaseDeg = deviationFromLine (f, excess);
    r.phaseCharacter = r.phaseDevFlatDeg < linearDeviationDeg    ? "linear"
                     : r.phaseDevMinPhaseDeg < minimumDeviationDeg ? "minimum"
                                                                   : "mixed";
}
}
