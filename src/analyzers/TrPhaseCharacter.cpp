#include "TrPhaseCharacter.h"

#include "dsp/TrMiniFft.h"

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

std::vector<double> minimumPhase (const std::vector<std::complex<double>>& transfer, int n)
{
    double largest = 0.0;
    for (const auto& h : transfer)
        largest = std::max (largest, std::abs (h));

    // ln|H| is real and even, so its inverse transform (the real cepstrum) is too.
    std::vector<std::complex<double>> logMagnitude (transfer.size());
    for (size_t k = 0; k < transfer.size(); ++k)
        logMagnitude[k] = std::log (std::max (std::abs (transfer[k]), 1e-5 * largest));

    auto cepstrum = minifft::inverseRealSpectrum (logMagnitude, n);

    // Folding onto the non-negative quefrencies makes it causal; its transform's imaginary part
    // is then the minimum phase.
    for (int i = 1; i < n / 2; ++i)
        cepstrum[static_cast<size_t> (i)] *= 2.0;
    std::fill (cepstrum.begin() + n / 2 + 1, cepstrum.end(), 0.0);

    const auto folded = minifft::realSpectrum (cepstrum, n);
    std::vector<double> phase (folded.size());
    for (size_t k = 0; k < folded.size(); ++k)
        phase[k] = folded[k].imag();

    return phase;
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

    const auto minimum = minimumPhase (transfer, n);
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
