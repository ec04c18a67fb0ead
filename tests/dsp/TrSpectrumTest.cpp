#include "dsp/TrSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;

double dB (double amplitude)
{
    return 20.0 * std::log10 (amplitude);
}
}

TEST (WelchSpectrum, TooShortAnInputReadsMinus200Everywhere)
{
    const auto spectrum = welchSpectrumDb (std::vector<float> (8191, 0.5f));
    ASSERT_EQ (spectrum.size(), 4097u);
    for (auto v : spectrum)
        ASSERT_EQ (v, -200.0f);
}

TEST (WelchSpectrum, AFullScaleSineOnABinReadsZeroDecibels)
{
    std::vector<float> x (48000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float> (std::sin (2.0 * pi * 1000.0 * static_cast<double> (i) / 8192.0));

    const auto spectrum = welchSpectrumDb (x);
    ASSERT_EQ (spectrum.size(), 4097u);
    EXPECT_NEAR (spectrum[1000], 0.0, 0.01);
    EXPECT_LT (spectrum[1100], -100.0f);
}

TEST (TruePeak, ACoherentToneReadsItsLevelAndInterSamplePeaksAreFound)
{
    const size_t n = 65536;

    const struct
    {
        const char* label;
        double cyclesPerBlock;
        double phase;
        double amplitude;
        double expectedAboveSamplePeakDb; // NaN: expect the amplitude itself
        double tolerance;
    } cases[] {
        { "odd bin at -6 dBFS", 1365.0, 0.3, std::pow (10.0, -6.0 / 20.0), NAN, 0.05 },
        { "odd bin at -1 dBFS", 1001.0, 1.0, std::pow (10.0, -1.0 / 20.0), NAN, 0.05 },
        { "fs/4, 45 degrees off the zero crossings", n / 4.0, pi / 4.0, 0.5, 3.0103, 0.1 },
    };

    for (const auto& c : cases)
    {
        std::vector<double> x (n);
        double samplePeak = 0.0;
        for (size_t i = 0; i < n; ++i)
        {
            x[i] = c.amplitude * std::sin (2.0 * pi * c.cyclesPerBlock * static_cast<double> (i) / static_cast<double> (n) + c.phase);
            samplePeak = std::max (samplePeak, std::abs (x[i]));
        }

        const auto truePeakDb = dB (oversampledPeak (x));
        if (std::isnan (c.expectedAboveSamplePeakDb))
            EXPECT_NEAR (truePeakDb, dB (c.amplitude), c.tolerance) << c.label;
        else
            EXPECT_NEAR (truePeakDb - dB (samplePeak), c.expectedAboveSamplePeakDb, c.tolerance) << c.label;
    }
}

TEST (TruePeak, PhaseZeroOfTheInterpolatorReproducesTheSamples)
{
    // A single spike in a periodic block: the true peak is the spike itself, no ringing above it.
    std::vector<double> x (4096, 0.0);
    x[100] = 0.8;
    EXPECT_NEAR (oversampledPeak (x), 0.8, 1e-9);
    EXPECT_EQ (oversampledPeak ({}), 0.0);
}
