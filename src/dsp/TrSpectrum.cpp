#include "TrSpectrum.h"

#include "TrMiniFft.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cmath>

namespace
{
constexpr int welchLength = 8192;
constexpr int welchBins = welchLength / 2 + 1;
constexpr double hannCoherentGain = 0.5 * welchLength / 2.0;

constexpr int oversampling = 8;
constexpr int tapReach = 384;       // taps j = -384..384
constexpr int samplesPerPhase = 97; // input samples under the taps of one output phase
constexpr int sampleReach = 48;
}

std::vector<float> welchSpectrumDb (const std::vector<float>& signal)
{
    if (signal.size() < static_cast<size_t> (welchLength))
        return std::vector<float> (welchBins, -200.0f);

    std::vector<double> window (welchLength);
    for (int i = 0; i < welchLength; ++i)
        window[static_cast<size_t> (i)] = 0.5 * (1.0 - std::cos (juce::MathConstants<double>::twoPi * i / (welchLength - 1)));

    std::vector<double> accumulated (welchBins, 0.0);
    std::vector<double> segment (welchLength);
    int segments = 0;

    for (size_t start = 0; start + welchLength <= signal.size(); start += welchLength / 2)
    {
        for (size_t i = 0; i < welchLength; ++i)
            segment[i] = signal[start + i] * window[i];

        auto magnitudes = minifft::magnitudeReal (segment);
        magnitudes.front() *= 0.5;
        magnitudes.back() *= 0.5;

        for (size_t k = 0; k < welchBins; ++k)
            accumulated[k] += magnitudes[k] * magnitudes[k];

        ++segments;
    }

    std::vector<float> out (welchBins);
    for (size_t k = 0; k < welchBins; ++k)
        out[k] = static_cast<float> (20.0 * std::log10 (std::max (1e-10, std::sqrt (accumulated[k] / segments) / hannCoherentGain)));

    return out;
}

double oversampledPeak (const std::vector<double>& block)
{
    const auto n = static_cast<long long> (block.size());
    if (n == 0)
        return 0.0;

    // Phase p of the output reads input b - 48 + i through tap j = p + 384 - 8i, where
    // tap j = sinc (j pi / 8) under a raised-cosine window; taps beyond +-384 are zero.
    std::vector<std::array<double, samplesPerPhase>> phaseTaps (oversampling);
    for (int phase = 0; phase < oversampling; ++phase)
    {
        for (int i = 0; i < samplesPerPhase; ++i)
        {
            const auto j = phase + tapReach - oversampling * i;
            const auto x = j * juce::MathConstants<double>::pi / oversampling;
            const auto sinc = j == 0 ? 1.0 : std::sin (x) / x;
            const auto window = (1.0 + std::cos (j * juce::MathConstants<double>::pi / (tapReach + 1))) / 2.0;
            phaseTaps[static_cast<size_t> (phase)][static_cast<size_t> (i)] = std::abs (j) <= tapReach ? sinc * window : 0.0;
        }
    }

    // One period on either side, so the taps never need an index check.
    std::vector<double> extended (static_cast<size_t> (n + 2 * sampleReach));
    for (long long m = 0; m < n + 2 * sampleReach; ++m)
        extended[static_cast<size_t> (m)] = block[static_cast<size_t> (((m - sampleReach) % n + n) % n)];

    double peak = 0.0;
    for (long long base = 0; base < n; ++base)
    {
        const auto* x = extended.data() + base;
        for (const auto& taps : phaseTaps)
        {
            double y = 0.0;
            for (int i = 0; i < samplesPerPhase; ++i)
                y += x[i] * taps[static_cast<size_t> (i)];
            peak = std::max (peak, std::abs (y));
        }
    }

    return peak;
}
