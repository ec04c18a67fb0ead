#include "TrFracShift.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cmath>

namespace
{
constexpr int numTaps = 64;
constexpr int centre = 32;

std::array<double, numTaps> taps (double d)
{
    std::array<double, numTaps> h {};
    double sum = 0.0;

    for (int i = 0; i < numTaps; ++i)
    {
        const auto t = (i - centre) - d;
        const auto sinc = std::abs (t) < 1e-9 ? 1.0 : std::sin (juce::MathConstants<double>::pi * t) / (juce::MathConstants<double>::pi * t);
        const auto window = (1.0 + std::cos (juce::MathConstants<double>::pi * (i - centre) / centre)) / 2.0;
        h[static_cast<size_t> (i)] = sinc * window;
        sum += h[static_cast<size_t> (i)];
    }

    for (auto& tap : h)
        tap /= sum;

    return h;
}

template <typename Sample>
std::vector<Sample> shift (const std::vector<Sample>& x, double d)
{
    if (std::abs (d) < 0.02)
        return x;

    const auto h = taps (d);
    const auto n = static_cast<long long> (x.size());
    std::vector<Sample> y (x.size());

    for (long long j = 0; j < n; ++j)
    {
        double acc = 0.0;
        for (int i = 0; i < numTaps; ++i)
        {
            const auto index = j + i - centre;
            if (index >= 0 && index < n)
                acc += h[static_cast<size_t> (i)] * x[static_cast<size_t> (index)];
        }
        y[static_cast<size_t> (j)] = static_cast<Sample> (acc);
    }

    return y;
}
}

std::vector<double> fracShift (const std::vector<double>& x, double d)
{
    return shift (x, d);
}

std::vector<float> applyFractionalDelay (const std::vector<float>& x, double d)
{
    return shift (x, d);
}
