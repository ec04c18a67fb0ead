#include "TrFracShift.h"

#include <array>
#include <cmath>

namespace
{
constexpr int halfTaps = 128;
constexpr int numTaps = 2 * halfTaps;
constexpr double pi = 3.14159265358979323846;

/** The taps for input samples floor (d) - 127 .. floor (d) + 128 around an output sample:
    the sinc and its window both centred on the shift itself. */
std::array<double, numTaps> taps (double fraction)
{
    std::array<double, numTaps> h {};
    double sum = 0.0;
    for (int i = 0; i < numTaps; ++i)
    {
        const auto t = (i - (halfTaps - 1)) - fraction; // distance of the tap's sample from the time read
        const auto sinc = std::abs (t) < 1e-12 ? 1.0 : std::sin (pi * t) / (pi * t);
        const auto phase = pi * (t / halfTaps + 1.0); // 0 .. 2 pi across the window
        const auto window = 0.35875 - 0.48829 * std::cos (phase) + 0.14128 * std::cos (2.0 * phase) - 0.01168 * std::cos (3.0 * phase);
        h[static_cast<size_t> (i)] = std::abs (t) < halfTaps ? sinc * window : 0.0;
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

    const auto whole = static_cast<long long> (std::floor (d));
    const auto h = taps (d - static_cast<double> (whole));
    const auto n = static_cast<long long> (x.size());
    std::vector<Sample> y (x.size());

    for (long long j = 0; j < n; ++j)
    {
        double acc = 0.0;
        const auto first = j + whole - (halfTaps - 1);
        for (int i = 0; i < numTaps; ++i)
        {
            const auto index = first + i;
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
