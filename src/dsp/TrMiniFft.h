#pragma once

#include <complex>
#include <vector>

/** The transforms every analysis uses, on FFTW's double-precision plans. Lengths must be powers
    of two. Results are unscaled and unwindowed. */
namespace minifft
{
    /** |X[k]| for k = 0..n/2 of a real sequence of length n: a sine of amplitude A centred on
        bin k gives A * n / 2, a constant c gives c * n at bin 0. */
    std::vector<double> magnitudeReal (const std::vector<double>& x);

    /** X[k] for k = 0..n/2 of x zero-padded or truncated to n points (the forward transform,
        unscaled; the other half of the spectrum of a real signal mirrors this one). */
    std::vector<std::complex<double>> realSpectrum (const std::vector<double>& x, int n);

    /** The real signal of n points whose half spectrum is given (n/2 + 1 bins): the inverse
        transform, divided by n, so realSpectrum and this undo each other. */
    std::vector<double> inverseRealSpectrum (const std::vector<std::complex<double>>& half, int n);

    /** Circular cross-correlation over n points (both inputs zero-padded or truncated to n):
        c[k] = n * sum over j of a[j] * b[(j + k) mod n]. It peaks at k = d when b is a delayed
        by d samples, and is negative there when b is also inverted. */
    std::vector<double> crossCorrelation (const std::vector<double>& a, const std::vector<double>& b, int n);
}
