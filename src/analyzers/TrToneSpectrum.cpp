#include "TrToneSpectrum.h"

#include "dsp/TrMiniFft.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace TrToneSpectrum
{
int snapToOddBin (double hz, int n, double sampleRate)
{
    const auto r = std::llround (hz * n / sampleRate);
    if (r < 0)
        return 1;

    return static_cast<int> (std::min (static_cast<long long> (n / 2 - 1), r | 1));
}

std::vector<double> magnitudes (const double* samples, int n)
{
    auto x = minifft::magnitudeReal (std::vector<double> (samples, samples + n));
    x.front() *= 0.5;
    x.back() *= 0.5;
    return x;
}

bool awayFromHarmonics (int j, int bin, int halfWidth)
{
    const auto nearest = std::max (1LL, std::llround (static_cast<double> (j) / bin));
    return std::llabs (j - nearest * bin) > halfWidth;
}

int exclusionHalfWidth (int bin)
{
    return static_cast<int> (std::max (3LL, std::llround (0.02 * bin)));
}

double harmonicPower (const std::vector<double>& x, int bin)
{
    const auto last = static_cast<long long> (x.size()) - 1;
    double power = 0.0;
    for (long long k = 2; k <= 10 && k * bin <= last; ++k)
        power += x[static_cast<size_t> (k * bin)] * x[static_cast<size_t> (k * bin)];

    return power;
}

double powerBesides (const std::vector<double>& x, int bin)
{
    double power = 0.0;
    for (size_t j = 1; j < x.size(); ++j)
        if (j != static_cast<size_t> (bin))
            power += x[j] * x[j];

    return power;
}

double median (std::vector<double> values)
{
    if (values.empty())
        return 0.0;

    const auto middle = values.begin() + static_cast<long> (values.size() / 2);
    std::nth_element (values.begin(), middle, values.end());
    return *middle;
}

bool belowMinus100Db (double outputMagnitude, double amplitude, int n)
{
    return amplitude * n * 0.5 * 1e-5 > outputMagnitude;
}
}
