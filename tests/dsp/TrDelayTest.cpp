#include "dsp/TrDelay.h"
#include "dsp/TrFracShift.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
std::vector<double> noise (size_t n, unsigned seed = 7)
{
    std::mt19937 rng (seed);
    std::normal_distribution<double> dist (0.0, 0.3);
    std::vector<double> x (n);
    for (auto& v : x)
        v = dist (rng);
    return x;
}

template <typename T>
std::vector<T> delayed (const std::vector<T>& x, size_t d)
{
    std::vector<T> y (x.size(), T {});
    std::copy (x.begin(), x.end() - static_cast<long> (d), y.begin() + static_cast<long> (d));
    return y;
}

std::vector<float> toFloat (const std::vector<double>& x)
{
    return { x.begin(), x.end() };
}
}

TEST (XcorrPeak, FindsIntegerAndHalfSampleLagsAndInversion)
{
    const auto x = noise (48000);

    struct Case
    {
        const char* label;
        std::vector<double> b;
        double lag;
        double tolerance;
        bool inverted;
    };

    auto negated = delayed (x, 100);
    for (auto& v : negated)
        v = -v;

    const Case cases[] {
        { "itself", x, 0.0, 1e-9, false },
        { "37 samples", delayed (x, 37), 37.0, 0.02, false },
        { "10.5 samples", fracShift (x, -10.5), 10.5, 0.1, false }, // a parabola through white-noise correlation
        { "inverted, 100 samples", negated, 100.0, 0.02, true },
        { "inverted copy", [&] { auto y = x; for (auto& v : y) v = -v; return y; }(), 0.0, 1e-9, true },
    };

    for (const auto& c : cases)
    {
        bool inverted = ! c.inverted;
        EXPECT_NEAR (xcorrPeak (x, c.b, &inverted), c.lag, c.tolerance) << c.label;
        EXPECT_EQ (inverted, c.inverted) << c.label;
    }
}

TEST (MeasureDelay, FindsTheLagOnlyWithinItsSearchLimit)
{
    // The signal arrives at 300 samples, and a weaker echo of it at 100.
    const auto x = toFloat (noise (20000));
    auto y = delayed (x, 300);
    const auto echo = delayed (x, 100);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] += 0.5f * echo[i];

    EXPECT_EQ (measureDelay (x, y, 1000), 300);
    EXPECT_EQ (measureDelay (x, y, 301), 300);
    EXPECT_EQ (measureDelay (x, y, 300), 100) << "lag 300 lies outside [0, 300): the best inside is the echo";

    EXPECT_EQ (measureDelay ({}, {}, 100), 0);
}

TEST (ResidualDelay, MeasuresSmallLagsBothWaysAndNothingOnTinyInputs)
{
    const auto x = toFloat (noise (8192));

    EXPECT_NEAR (residualDelay (x, x), 0.0, 1e-4);
    EXPECT_NEAR (residualDelay (x, delayed (x, 2)), 2.0, 0.02);
    EXPECT_NEAR (residualDelay (delayed (x, 3), x), -3.0, 0.02);
    EXPECT_NEAR (residualDelay (x, applyFractionalDelay (x, -1.5)), 1.5, 0.1);
    EXPECT_EQ (residualDelay (std::vector<float> (8, 1.0f), std::vector<float> (8, 1.0f)), 0.0);
}

TEST (FracShift, SmallShiftsAreIdentityAndWholeShiftsMoveExactly)
{
    const auto x = noise (1000);

    EXPECT_EQ (fracShift (x, 0.01), x);
    EXPECT_EQ (fracShift (x, -0.019), x);

    const auto advanced = fracShift (x, 1.0);
    ASSERT_EQ (advanced.size(), x.size());
    for (size_t j = 0; j + 1 < x.size(); ++j)
        ASSERT_NEAR (advanced[j], x[j + 1], 1e-12) << j;
    EXPECT_NEAR (advanced.back(), 0.0, 1e-12) << "beyond the end counts as silence";

    const auto back = fracShift (x, -3.0);
    for (size_t j = 3; j < x.size(); ++j)
        ASSERT_NEAR (back[j], x[j - 3], 1e-12) << j;
}

TEST (FracShift, AHalfSampleShiftInterpolatesASineAndFloatMatchesDouble)
{
    std::vector<double> sine (4096);
    for (size_t i = 0; i < sine.size(); ++i)
        sine[i] = std::sin (0.05 * static_cast<double> (i));

    // Away from the edges, where the 256-tap kernel runs out of input.
    for (const auto d : { 0.5, 0.25, -0.3, 10.5, -31.5 })
    {
        const auto shifted = fracShift (sine, d);
        for (size_t j = 160; j + 160 < sine.size(); ++j)
            ASSERT_NEAR (shifted[j], std::sin (0.05 * (static_cast<double> (j) + d)), 1e-6) << d << " at " << j;
    }

    // High in the band too: 0.4 of the sample rate, where a short or off-centre window fails.
    std::vector<double> high (4096);
    for (size_t i = 0; i < high.size(); ++i)
        high[i] = std::sin (0.8 * M_PI * static_cast<double> (i));
    const auto highShifted = fracShift (high, 0.5);
    for (size_t j = 160; j + 160 < high.size(); ++j)
        ASSERT_NEAR (highShifted[j], std::sin (0.8 * M_PI * (static_cast<double> (j) + 0.5)), 1e-3) << j;

    const auto shifted = fracShift (sine, 0.5);

    const auto asFloat = applyFractionalDelay (toFloat (sine), 0.5);
    for (size_t j = 0; j < sine.size(); ++j)
        ASSERT_NEAR (asFloat[j], shifted[j], 1e-6) << j;
}
