#pragma once

#include <cmath>
#include <complex>
#include <vector>

/** The plain iterative radix-2 transform (bit reversal, twiddles by recurrence), kept here as
    the candidate the library FFT is measured against. */
inline std::vector<double> radix2MagnitudeReal (const std::vector<double>& x)
{
    const auto n = x.size();
    std::vector<std::complex<double>> a (x.begin(), x.end());

    for (size_t i = 1, j = 0; i < n; ++i)
    {
        auto bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap (a[i], a[j]);
    }

    for (size_t length = 2; length <= n; length <<= 1)
    {
        const auto step = std::polar (1.0, -2.0 * M_PI / static_cast<double> (length));
        for (size_t start = 0; start < n; start += length)
        {
            std::complex<double> w (1.0, 0.0);
            for (size_t k = 0; k < length / 2; ++k)
            {
                const auto u = a[start + k];
                const auto v = a[start + k + length / 2] * w;
                a[start + k] = u + v;
                a[start + k + length / 2] = u - v;
                w *= step;
            }
        }
    }

    std::vector<double> magnitudes (n / 2 + 1);
    for (size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = std::hypot (a[k].real(), a[k].imag());
    return magnitudes;
}
