#include "TrAnalytic.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

void expectEqualLengths (const TrThdSweepResult& r, size_t points)
{
    EXPECT_EQ (r.x.size(), points);
    EXPECT_EQ (r.thdDb.size(), points);
    EXPECT_EQ (r.thdnDb.size(), points);
    EXPECT_EQ (r.aliasDb.size(), points);
    for (const auto& h : r.harmonicDb)
        EXPECT_EQ (h.size(), points);
}
}

TEST (ThdSweep, AFrequencySweepRunsFrom20HzToItsTopOnALogGrid)
{
    const struct
    {
        double sampleRate;
        double topHz;
    } cases[] { { 48000.0, 20000.0 }, { 44100.0, 19845.0 } };

    for (const auto& c : cases)
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot), "");
        bench.slot.prepare (c.sampleRate, 512);

        TrHarmonicsAnalyzer::SweepParams params;
        params.sampleRate = c.sampleRate;
        params.points = 4;
        const auto r = TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, nullptr, {});

        ASSERT_EQ (r.error, "");
        expectEqualLengths (r, 4);
        // Each point lies on the log grid from 20 Hz to the top, snapped to an odd bin.
        const auto binHz = c.sampleRate / 16384.0;
        for (int m = 0; m < 4; ++m)
            EXPECT_NEAR (r.x[static_cast<size_t> (m)], 20.0 * std::pow (c.topHz / 20.0, m / 3.0), 1.5 * binHz) << m;

        // H2 of the top point lies above Nyquist: no THD, but THD+N and alias are numbers.
        EXPECT_TRUE (std::isnan (r.thdDb.back()));
        EXPECT_TRUE (std::isnan (r.harmonicDb[0].back()));
        EXPECT_TRUE (std::isfinite (r.thdnDb.back()));
        EXPECT_TRUE (std::isfinite (r.aliasDb.back()));
        EXPECT_LT (r.thdDb.front(), -140.0f);
    }
}

TEST (ThdSweep, ALevelSweepOfTheSoftClipperFollowsTanhAtEveryLevel)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Soft clip", "Drive=2" }), "");

    TrHarmonicsAnalyzer::SweepParams params;
    params.vsLevel = true;
    params.points = 31;
    params.fftSize = 8192;
    const auto r = TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, nullptr, {});

    ASSERT_EQ (r.error, "");
    expectEqualLengths (r, 31);
    EXPECT_NEAR (r.frequencyHz, 1000.0, 48000.0 / 8192);

    for (size_t i = 0; i < r.x.size(); ++i)
    {
        EXPECT_EQ (r.x[i], -60.0f + 2.0f * static_cast<float> (i));

        const auto b = TrTest::sineSeries ([] (double x) { return std::tanh (2.0 * x); }, std::pow (10.0, r.x[i] / 20.0), 10);
        double power = 0.0;
        for (int k = 2; k <= 10; ++k)
            power += b[static_cast<size_t> (k)] * b[static_cast<size_t> (k)];

        const auto expected = 10.0 * std::log10 (power / (b[1] * b[1]));
        if (expected > -110.0) // below that, float rounding in the plugin dominates
        {
            EXPECT_NEAR (r.thdDb[i], expected, 0.1) << r.x[i] << " dBFS";
        }
        EXPECT_NEAR (r.harmonicDb[1][i], std::max (TrTest::dB (b[3] / b[1]), -130.0), 0.5) << r.x[i] << " dBFS";
    }
}

TEST (ThdSweep, SilentPointsAreNanAndTheSweepGoesOn)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, { "Mode=Mute" }), "");

    TrHarmonicsAnalyzer::SweepParams params;
    params.points = 3;
    params.fftSize = 4096;
    const auto r = TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, nullptr, {});

    ASSERT_EQ (r.error, "");
    expectEqualLengths (r, 3);
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_TRUE (std::isnan (r.thdDb[i]));
        EXPECT_TRUE (std::isnan (r.thdnDb[i]));
        EXPECT_TRUE (std::isnan (r.aliasDb[i]));
        EXPECT_TRUE (std::isnan (r.harmonicDb[2][i]));
        EXPECT_TRUE (std::isfinite (r.x[i]));
    }
}

TEST (ThdSweep, ACancelledSweepKeepsTheCompletedPointsAligned)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");

    TrHarmonicsAnalyzer::SweepParams params;
    params.points = 10;
    params.fftSize = 4096;
    std::atomic<float> progress { 0.0f };
    const auto r = TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, &progress, [&] { return progress.load() >= 0.3f; });

    EXPECT_EQ (r.error, TrErrorText::aborted);
    expectEqualLengths (r, 3);
}

TEST (ThdSweep, FewerThanTwoPointsCountAsTwoAndTooManyAreRefused)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");

    TrHarmonicsAnalyzer::SweepParams params;
    params.points = 1;
    params.fftSize = 2048;
    EXPECT_EQ (TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, nullptr, {}).x.size(), 2u);

    params.points = 1001;
    EXPECT_TRUE (TrHarmonicsAnalyzer::runThdSweep (bench.slot, params, nullptr, {}).error.contains ("points"));
}
