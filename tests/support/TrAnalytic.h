#pragma once

#include <cmath>
#include <functional>
#include <vector>

namespace TrTest
{
    /** Fourier sine coefficients b[1..kmax] (b[0] unused) of f (A sin t) over one period, by
        the trapezoid rule, which converges exponentially for smooth periodic functions. */
    inline std::vector<double> sineSeries (const std::function<double (double)>& f, double amplitude, int kmax,
                                           int samples = 1 << 16)
    {
        std::vector<long double> sums (static_cast<size_t> (kmax + 1), 0.0L);
        const long double twoPi = 6.283185307179586476925286766559L;

        for (int i = 0; i < samples; ++i)
        {
            const auto t = twoPi * i / samples;
            const auto y = static_cast<long double> (f (amplitude * std::sin (static_cast<double> (t))));
            for (int k = 1; k <= kmax; ++k)
                sums[static_cast<size_t> (k)] += y * std::sin (static_cast<long double> (k) * t);
        }

        std::vector<double> b (static_cast<size_t> (kmax + 1), 0.0);
        for (int k = 1; k <= kmax; ++k)
            b[static_cast<size_t> (k)] = static_cast<double> (2.0L * sums[static_cast<size_t> (k)] / samples);

        return b;
    }

    inline double dB (double ratio)
    {
        return 20.0 * std::log10 (std::abs (ratio));
    }
}
