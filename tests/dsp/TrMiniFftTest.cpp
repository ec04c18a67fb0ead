#include "dsp/TrMiniFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

namespace
{
constexpr double twoPi = 6.283185307179586;

std::vector<double> randomSignal (size_t n, unsigned seed)
{
    std::mt19937 rng (seed);
    std::uniform_real_distribution<double> dist (-1.0, 1.0);
    std::vector<double> x (n);
    for (auto& v : x)
        v = dist (rng);
    return x;
}
}

TEST (MiniFft, ACosineOnABinAndAConstantReadTheirUnscaledMagnitudes)
{
    const size_t n = 65536;
    std::vector<double> cosine (n), constant (n, 0.5);
    for (size_t i = 0; i < n; ++i)
        cosine[i] = std::cos (twoPi * 1000.0 * static_cast<double> (i) / static_cast<double> (n));

    const auto c = minifft::magnitudeReal (cosine);
    const auto d = minifft::magnitudeReal (constant);

    ASSERT_EQ (c.size(), n / 2 + 1);
    EXPECT_NEAR (c[1000], 32768.0, 1e-6);
    EXPECT_NEAR (d[0], 32768.0, 1e-9);

    for (size_t k = 0; k < c.size(); ++k)
    {
        EXPECT_LT (k == 1000 ? 0.0 : c[k], 1e-6) << k;
        EXPECT_LT (k == 0 ? 0.0 : d[k], 1e-9) << k;
    }
}

TEST (MiniFft, MagnitudesEqualAPlainDiscreteFourierTransform)
{
    const auto x = randomSignal (256, 1);
    const auto magnitudes = minifft::magnitudeReal (x);

    for (size_t k = 0; k <= 128; ++k)
    {
        std::complex<double> sum;
        for (size_t i = 0; i < x.size(); ++i)
            sum += x[i] * std::polar (1.0, -twoPi * static_cast<double> (k * i) / 256.0);

        EXPECT_NEAR (magnitudes[k], std::abs (sum), 1e-9) << k;
    }
}

TEST (MiniFft, CrossCorrelationEqualsTheCircularSumScaledByLength)
{
    const auto a = randomSignal (48, 2);
    const auto b = randomSignal (64, 3);
    const int n = 64;
    const auto c = minifft::crossCorrelation (a, b, n);

    ASSERT_EQ (c.size(), 64u);
    for (int k = 0; k < n; ++k)
    {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += (j < 48 ? a[static_cast<size_t> (j)] : 0.0) * b[static_cast<size_t> ((j + k) % n)];

        EXPECT_NEAR (c[static_cast<size_t> (k)], n * sum, 1e-9) << k;
    }
}
