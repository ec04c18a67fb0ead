#include "TrMiniFft.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <memory>
#include <mutex>

namespace minifft
{
namespace
{
struct FftwFree
{
    void operator() (void* p) const noexcept { fftw_free (p); }
};

template <typename T>
using FftwArray = std::unique_ptr<T[], FftwFree>;

template <typename T>
FftwArray<T> allocate (int n)
{
    return FftwArray<T> (static_cast<T*> (fftw_malloc (sizeof (T) * static_cast<size_t> (n))));
}

// FFTW's planner is not thread-safe (the measurement and live threads both transform), while
// executing a plan on new arrays is. Plans are made once per size and kept until exit.
struct Plans
{
    fftw_plan forward = nullptr;  // real -> half spectrum
    fftw_plan backward = nullptr; // half spectrum -> real
};

class PlanCache
{
public:
    ~PlanCache()
    {
        for (auto& [n, plans] : cache)
        {
            fftw_destroy_plan (plans.forward);
            fftw_destroy_plan (plans.backward);
        }
        fftw_cleanup();
    }

    Plans plansFor (int n)
    {
        const std::lock_guard<std::mutex> guard (lock);
        auto& plans = cache[n];

        if (plans.forward == nullptr)
        {
            auto real = allocate<double> (n);
            auto spectrum = allocate<fftw_complex> (n / 2 + 1);
            plans.forward = fftw_plan_dft_r2c_1d (n, real.get(), spectrum.get(), FFTW_ESTIMATE);
            plans.backward = fftw_plan_dft_c2r_1d (n, spectrum.get(), real.get(), FFTW_ESTIMATE);
        }

        return plans;
    }

private:
    std::mutex lock;
    std::map<int, Plans> cache;
};

Plans plansFor (int n)
{
    static PlanCache cache;
    return cache.plansFor (n);
}

/** The half spectrum of x zero-padded or truncated to n points. */
FftwArray<fftw_complex> halfSpectrum (const std::vector<double>& x, int n)
{
    auto in = allocate<double> (n);
    const auto used = std::min (x.size(), static_cast<size_t> (n));
    std::copy_n (x.begin(), used, in.get());
    std::fill (in.get() + used, in.get() + n, 0.0);

    auto out = allocate<fftw_complex> (n / 2 + 1);
    fftw_execute_dft_r2c (plansFor (n).forward, in.get(), out.get());
    return out;
}
}

std::vector<double> magnitudeReal (const std::vector<double>& x)
{
    const auto n = static_cast<int> (x.size());
    const auto spectrum = halfSpectrum (x, n);

    std::vector<double> magnitudes (static_cast<size_t> (n / 2 + 1));
    for (size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = std::sqrt (spectrum[k][0] * spectrum[k][0] + spectrum[k][1] * spectrum[k][1]);

    return magnitudes;
}

std::vector<std::complex<double>> realSpectrum (const std::vector<double>& x, int n)
{
    const auto spectrum = halfSpectrum (x, n);
    std::vector<std::complex<double>> out (static_cast<size_t> (n / 2 + 1));
    for (size_t k = 0; k < out.size(); ++k)
        out[k] = { spectrum[k][0], spectrum[k][1] };

    return out;
}

std::vector<double> inverseRealSpectrum (const std::vector<std::complex<double>>& half, int n)
{
    auto in = allocate<fftw_complex> (n / 2 + 1);
    for (int k = 0; k <= n / 2; ++k)
    {
        in[k][0] = half[static_cast<size_t> (k)].real();
        in[k][1] = half[static_cast<size_t> (k)].imag();
    }

    auto out = allocate<double> (n);
    fftw_execute_dft_c2r (plansFor (n).backward, in.get(), out.get());

    std::vector<double> x (out.get(), out.get() + n);
    for (auto& v : x)
        v /= n;

    return x;
}

std::vector<double> crossCorrelation (const std::vector<double>& a, const std::vector<double>& b, int n)
{
    auto product = halfSpectrum (a, n);
    const auto spectrumB = halfSpectrum (b, n);

    for (int k = 0; k <= n / 2; ++k)
    {
        const std::complex<double> pa (product[k][0], product[k][1]);
        const std::complex<double> pb (spectrumB[k][0], spectrumB[k][1]);
        const auto p = std::conj (pa) * pb;
        product[k][0] = p.real();
        product[k][1] = p.imag();
    }

    auto out = allocate<double> (n);
    fftw_execute_dft_c2r (plansFor (n).backward, product.get(), out.get());
    return std::vector<double> (out.get(), out.get() + n);
}
}
