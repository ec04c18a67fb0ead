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

std::vector<BinKind> binKinds (int bin, int n)
{
    const auto last = n / 2;
    std::vector<BinKind> kinds (static_cast<size_t> (last + 1), BinKind::noise);
    const auto mark = [&] (long long centre, BinKind kind) {
        for (auto j = centre - 1; j <= centre + 1; ++j)
            if (j >= 0 && j <= last && (kinds[static_cast<size_t> (j)] == BinKind::noise || kind != BinKind::alias))
                kinds[static_cast<size_t> (j)] = kind;
    };

    for (int k = highestOrder; k >= 2; --k)
    {
        const auto position = static_cast<long long> (k) * bin;
        if (position > last)
            mark (std::llabs ((position + last) % n - last), BinKind::alias);
    }
    for (long long position = 2LL * bin; position <= last; position += bin)
        mark (position, BinKind::harmonic);

    mark (bin, BinKind::tone);
    kinds[0] = BinKind::tone;
    return kinds;
}

int strongestOfKind (const std::vector<double>& x, const std::vector<BinKind>& kinds, BinKind kind)
{
    int best = 0;
    for (size_t j = 1; j < kinds.size(); ++j)
        if (kinds[j] == kind && (best == 0 || x[j] > x[static_cast<size_t> (best)]))
            best = static_cast<int> (j);
    return best;
}

std::vector<double> flatTopMagnitudes (const double* samples, int n)
{
    // The five-term flat-top window; its first coefficient is its coherent gain.
    constexpr double a[] { 0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368 };
    std::vector<double> windowed (static_cast<size_t> (n));
    for (int i = 0; i < n; ++i)
    {
        const auto phase = 2.0 * M_PI * i / n;
        const auto w = a[0] - a[1] * std::cos (phase) + a[2] * std::cos (2.0 * phase) - a[3] * std::cos (3.0 * phase) + a[4] * std::cos (4.0 * phase);
        windowed[static_cast<size_t> (i)] = w * samples[i];
    }

    auto x = minifft::magnitudeReal (windowed);
    for (auto& v : x)
        v /= a[0];
    return x;
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
