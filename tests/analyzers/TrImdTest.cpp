#include "TrAnalytic.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrHarmonicsAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double polyA = 0.125, polyB = 0.25;

struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrImdResult measure (const juce::StringArray& fixture, bool ccif, double sampleRate = 48000.0)
{
    Bench bench;
    EXPECT_EQ (TrTest::loadFixture (bench.slot, fixture), "");
    bench.slot.prepare (sampleRate, 512);

    TrHarmonicsAnalyzer::ImdParams params;
    params.ccif = ccif;
    params.sampleRate = sampleRate;
    return TrHarmonicsAnalyzer::runImd (bench.slot, params, nullptr, {});
}

const juce::StringArray polynomial { "Mode=Polynomial", "Poly a=" + juce::String (polyA), "Poly b=" + juce::String (polyB) };
}

TEST (Imd, SmpteTonesSitOnTheirBins)
{
    const auto r = measure ({}, false);
    ASSERT_EQ (r.error, "");
    EXPECT_EQ (r.standard, "SMPTE");
    EXPECT_DOUBLE_EQ (r.f1Hz, 82 * 48000.0 / 65536);
    EXPECT_DOUBLE_EQ (r.f2Hz, 9557 * 48000.0 / 65536);
    EXPECT_LT (r.imdDb, -140.0) << "a wire adds no products";
    EXPECT_EQ (r.d2Db, -999.0);
}

TEST (Imd, APolynomialGivesItsAnalyticSmpteProducts)
{
    // x = A1 sin w1 + A2 sin w2 through x + a x^2 + b x^3: sidebands f2 +- f1 of a A1 A2 and
    // f2 +- 2 f1 of 3/4 b A1^2 A2, around f2 = A2 (1 + 3/4 b A2^2 + 3/2 b A1^2).
    const auto amplitude = std::pow (10.0, -6.0 / 20.0);
    const auto a1 = 0.8 * amplitude, a2 = 0.2 * amplitude;
    const auto first = polyA * a1 * a2;
    const auto second = 0.75 * polyB * a1 * a1 * a2;
    const auto tone = a2 * (1.0 + 0.75 * polyB * a2 * a2 + 1.5 * polyB * a1 * a1);
    const auto expected = std::sqrt (2.0 * first * first + 2.0 * second * second) / tone;

    const auto r = measure (polynomial, false);
    ASSERT_EQ (r.error, "");
    EXPECT_NEAR (r.imdDb, TrTest::dB (expected), 0.1);
    EXPECT_NEAR (r.imdPercent, 100.0 * expected, 0.012 * 100.0 * expected);
}

TEST (Imd, APolynomialGivesItsAnalyticCcifProducts)
{
    // Equal tones h: difference tone a h^2, third-order products 3/4 b h^3 each, tones h (1 + 9/4 b h^2).
    const auto h = 0.5 * std::pow (10.0, -6.0 / 20.0);
    const auto tones = 2.0 * h * (1.0 + 2.25 * polyB * h * h);
    const auto d2 = polyA * h * h / tones;
    const auto d3 = std::sqrt (2.0) * 0.75 * polyB * h * h * h / tones;

    const auto r = measure (polynomial, true);
    ASSERT_EQ (r.error, "");
    EXPECT_EQ (r.standard, "CCIF");
    EXPECT_NEAR (r.d2Db, TrTest::dB (d2), 0.1);
    EXPECT_NEAR (r.d3Db, TrTest::dB (d3), 0.1);
    EXPECT_NEAR (r.imdDb, TrTest::dB (std::hypot (d2, d3)), 0.1);
}

TEST (Imd, CcifOnAWireIsAtTheFloorAndNeedsARateAbove40k)
{
    const auto wire = measure ({}, true);
    ASSERT_EQ (wire.error, "");
    EXPECT_LT (wire.d2Db, -140.0);
    EXPECT_LT (wire.d3Db, -140.0);
    EXPECT_LT (wire.imdPercent, 1e-5);

    EXPECT_TRUE (measure ({}, true, 32000.0).error.contains ("40000"));
    EXPECT_EQ (measure ({}, false, 32000.0).error, "") << "SMPTE works at any supported rate";
}

TEST (Imd, SilentOutputIsAnError)
{
    const auto r = measure ({ "Mode=Mute" }, false);
    EXPECT_EQ (r.error, "output tones below -100 dB re stimulus (silent or gated output?)");
    EXPECT_EQ (r.imdDb, -999.0);
}

TEST (Imd, TheNoiseFloorReadsTheHissUnderTheTones)
{
    // -80 dBFS RMS of hiss: a median bin of sigma sqrt (N ln 2) against the stronger tone's
    // 0.8 A N / 2, for both standards.
    const auto amplitude = std::pow (10.0, -6.0 / 20.0);
    const auto n = 65536.0;
    for (const auto ccif : { false, true })
    {
        const auto r = measure ({ "Mode=Hiss" }, ccif);
        ASSERT_EQ (r.error, "") << ccif;
        const auto strongest = (ccif ? 0.5 : 0.8) * amplitude;
        EXPECT_NEAR (r.noiseFloorDb, TrTest::dB (1e-4 * std::sqrt (n * std::log (2.0)) / (strongest * n / 2.0)), 0.3) << ccif;
    }
}
