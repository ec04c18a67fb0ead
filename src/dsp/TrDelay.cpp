#include "TrDelay.h"

#include "TrMiniFft.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int xcorrLength = 131072;
constexpr int xcorrLargestLag = 65535;

/** Offset of the true peak from the middle of three neighbouring magnitudes, within +-0.5. */
double parabolicOffset (double before, double peak, double after)
{
    const auto curvature = before - 2.0 * peak + after;
    if (std::abs (curvature) <= 1e-12)
        return 0.0;

    return std::clamp (0.5 * (before - after) / curvature, -0.5, 0.5);
}

int nextPowerOfTwo (size_t n)
{
    int p = 1;
    while (static_cast<size_t> (p) < n)
        p *= 2;
    return p;
}
}

int strongestLag (const std::vector<double>& c, int limit)
{
    int best = 0;
    for (int k = 1; k < limit; ++k)
        if (std::abs (c[static_cast<size_t> (k)]) > std::abs (c[static_cast<size_t> (best)]))
            best = k;

    return best;
}

bool isClearPeak (const std::vector<double>& correlation, int peak, int largestLag)
{
    double mean = 0.0;
    for (int k = 0; k <= largestLag; ++k)
        mean += std::abs (correlation[static_cast<size_t> (k)]);
    mean /= largestLag + 1;

    return std::abs (correlation[static_cast<size_t> (peak)]) > 8.0 * mean;
}

double xcorrPeak (const std::vector<double>& a, const std::vector<double>& b, bool* inverted, bool* clear)
{
    const auto c = minifft::crossCorrelation (a, b, xcorrLength);
    const auto k = strongestLag (c, xcorrLargestLag + 1);
    const auto peak = std::abs (c[static_cast<size_t> (k)]);

    if (clear != nullptr)
    {
        const auto energy = [] (const std::vector<double>& x) {
            double sum = 0.0;
            for (size_t i = 0; i < std::min (x.size(), static_cast<size_t> (xcorrLength)); ++i)
                sum += x[i] * x[i];
            return sum;
        };
        const auto scale = xcorrLength * std::sqrt (energy (a) * energy (b));
        *clear = scale > 0.0 && peak / scale > 0.05;
    }

    // The correlation of real signals is real, so its sign alone tells an inverted copy.
    if (inverted != nullptr)
        *inverted = c[static_cast<size_t> (k)] < 0.0;

    if (k < 1 || k > xcorrLength - 2)
        return k;

    return k + parabolicOffset (std::abs (c[static_cast<size_t> (k - 1)]), peak, std::abs (c[static_cast<size_t> (k + 1)]));
}

int measureDelay (const std::vector<float>& reference, const std::vector<float>& delayed, int largestLag)
{
    const auto n = nextPowerOfTwo (std::max<size_t> (1, delayed.size()));
    const auto c = minifft::crossCorrelation (std::vector<double> (reference.begin(), reference.end()),
                                              std::vector<double> (delayed.begin(), delayed.end()), n);
    return strongestLag (c, std::min (n, largestLag));
}

double residualDelay (const std::vector<float>& a, const std::vector<float>& b)
{
    const auto m = std::min (a.size(), b.size());
    if (m <= 8)
        return 0.0;

    double c[9];
    for (int k = 0; k <= 8; ++k)
    {
        double sum = 0.0;
        for (size_t i = 0; i + 8 < m; ++i)
            sum += static_cast<double> (a[i + 4]) * b[i + static_cast<size_t> (k)];
        c[k] = std::abs (sum);
    }

    // On a tie the zero lag wins, otherwise the smallest lag.
    const auto largest = *std::max_element (std::begin (c), std::end (c));
    int best = 4;
    if (c[best] != largest)
        best = static_cast<int> (std::find (std::begin (c), std::end (c), largest) - std::begin (c));

    double delta = 0.0;
    if (best >= 1 && best <= 7 && c[best - 1] <= c[best] && c[best] >= c[best + 1])
        delta = parabolicOffset (c[best - 1], c[best], c[best + 1]);

    return (best - 4) + delta;
}
