#include "TrNoiseSpectrum.h"

#include "dsp/TrMiniFft.h"

#include <juce_core/juce_core.h>

#include <cmath>

namespace
{
constexpr int length = 65536;
constexpr int bands = 512;
constexpr double lowestHz = 20.0;
constexpr double sineCalibration = 16384.0; // a Hann-windowed sine of amplitude 1 peaks at n / 4

double levelDb (double magnitude)
{
    return 20.0 * std::log10 (std::max (1e-15, magnitude));
}

/** The peak's magnitude refined by a parabola through the dB values around it, when that fits. */
double refinedPeak (const std::vector<double>& x, size_t k)
{
    if (k == 0 || k + 1 >= x.size())
        return x[k];

    const auto left = levelDb (x[k - 1]), mid = levelDb (x[k]), right = levelDb (x[k + 1]);
    const auto curvature = left - 2.0 * mid + right;
    if (mid < left || mid < right || curvature >= -1e-12)
        return x[k];

    const auto delta = std::clamp (0.5 * (left - right) / curvature, -0.5, 0.5);
    return std::pow (10.0, (mid - 0.25 * (left - right) * delta) / 20.0);
}
}

void fillNoiseSpectrum (const std::vector<double>& lastSilence, TrChecksResult& r)
{
    std::vector<double> windowed (length, 0.0);
    for (size_t k = 0; k < lastSilence.size() && k < windowed.size(); ++k)
        windowed[k] = lastSilence[k] * 0.5 * (1.0 - std::cos (juce::MathConstants<double>::twoPi * static_cast<double> (k) / (length - 1)));

    const auto x = minifft::magnitudeReal (windowed);
    const auto span = std::log10 (r.sampleRate / 2.0) - std::log10 (lowestHz);

    int band = -1;
    size_t peak = 0;
    const auto emit = [&] {
        if (band < 0 || static_cast<int> (r.noiseFreqHz.size()) >= bands)
            return;
        r.noiseFreqHz.push_back (static_cast<float> (static_cast<double> (peak) * r.sampleRate / length));
        r.noiseSpecDb.push_back (static_cast<float> (20.0 * std::log10 (std::max (1e-12, refinedPeak (x, peak) / sineCalibration))));
    };

    for (size_t k = 1; k <= length / 2; ++k)
    {
        const auto f = static_cast<double> (k) * r.sampleRate / length;
        if (f < lowestHz)
            continue;

        const auto b = static_cast<int> ((std::log10 (f) - std::log10 (lowestHz)) / span * bands);
        if (b != band)
        {
            emit();
            band = b;
            peak = k;
        }
        else if (x[k] > x[peak])
        {
            peak = k;
        }
    }

    emit();
}
