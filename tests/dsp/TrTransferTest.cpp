#include "TrFixtureFilters.h"
#include "dsp/TrTransfer.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace
{
constexpr int n = 131072;
constexpr double rate = 48000.0;
constexpr int reach = 65535;

using Response = std::function<std::complex<double> (double hz)>;

/** Bins 0..n/2 of an analytic response, band-limited to the audio band as a sweep would see it. */
TrTransfer::Spectrum spectrumOf (const Response& h)
{
    TrTransfer::Spectrum s (n / 2 + 1);
    for (int k = 1; k < n / 2; ++k)
        s[static_cast<size_t> (k)] = h (k * rate / n);
    return s;
}

Response delay (double samples)
{
    return [samples] (double hz) { return std::polar (1.0, -2.0 * M_PI * hz * samples / rate); };
}

Response cascade (std::vector<TrFixtureFilters::Biquad> biquads)
{
    return [biquads] (double hz) { return TrFixtureFilters::response (biquads, hz, rate); };
}

Response times (Response a, Response b)
{
    return [a, b] (double hz) { return a (hz) * b (hz); };
}

Response negated (Response a)
{
    return [a] (double hz) { return -a (hz); };
}

const auto lowPass = cascade ({ TrFixtureFilters::lowPass (2000.0, 0.5412, rate), TrFixtureFilters::lowPass (2000.0, 1.3066, rate) });
// 8th-order Butterworth at 60 Hz, a subwoofer crossover: its own phase passes 90 degrees inside the passband.
const auto steepLowPass = cascade ({ TrFixtureFilters::lowPass (60.0, 0.5098, rate), TrFixtureFilters::lowPass (60.0, 0.6013, rate),
                                     TrFixtureFilters::lowPass (60.0, 0.9000, rate), TrFixtureFilters::lowPass (60.0, 2.5629, rate) });
const auto highPass4 = [] (double hz) {
    // 24 dB/oct at 300 Hz: the all-pass-free complement of a Butterworth low-pass.
    const auto s = std::complex<double> (0.0, hz / 300.0);
    return (s * s * s * s) / ((s * s + 0.7654 * s + 1.0) * (s * s + 1.8478 * s + 1.0));
};
const auto allPass = cascade ({ TrFixtureFilters::allPass (1000.0, 0.7071, rate) });
const auto twoAllPasses = cascade ({ TrFixtureFilters::allPass (1000.0, 0.7071, rate), TrFixtureFilters::allPass (1000.0, 0.7071, rate) });
const auto peakEq = cascade ({ TrFixtureFilters::peaking (1000.0, 6.0, 1.0, rate) });
}

TEST (Transfer, LatencyIsWhereTheResponseStartsAndPolarityIsThePassbandsSign)
{
    const struct
    {
        const char* label;
        Response response;
        double latency, tolerance;
        bool inverted, linear;
    } cases[] {
        { "wire", delay (0.0), 0.0, 0.01, false, true },
        { "whole delay", delay (100.0), 100.0, 0.01, false, true },
        { "fractional delay", delay (31.5), 31.5, 0.05, false, true },
        { "plain inversion", negated (delay (0.0)), 0.0, 0.01, true, true },
        { "inverted delay", negated (delay (64.0)), 64.0, 0.01, true, true },
        { "4th-order low-pass: minimum phase starts at once", lowPass, 0.0, 0.3, false, false },
        { "low-pass behind a hidden delay", times (lowPass, delay (100.0)), 100.0, 0.3, false, false },
        { "inverted low-pass", negated (lowPass), 0.0, 0.3, true, false },
        { "steep sub low-pass: its own phase is not a flip", steepLowPass, 0.0, 0.3, false, false },
        { "steep sub low-pass inverted", negated (steepLowPass), 0.0, 0.3, true, false },
        { "24 dB/oct high-pass", highPass4, 0.0, 0.3, false, false },
        { "peaking EQ", peakEq, 0.0, 0.1, false, false },
        { "all-pass wandering through 180 degrees", allPass, 0.0, 3.0, false, false },
        { "inverted all-pass: flipped over most octaves", negated (allPass), 0.0, 3.0, true, false },
        { "two all-passes: through 180 degrees twice", twoAllPasses, 0.0, 3.0, false, false },
        { "two all-passes inverted: flipped over more than two thirds", negated (twoAllPasses), 0.0, 3.0, true, false },
        { "echo after the direct sound", [] (double hz) { return delay (0.0) (hz) + 0.9 * delay (300.0) (hz); }, 0.0, 0.1, false, false },
    };

    for (const auto& c : cases)
    {
        const auto t = TrTransfer::timing (spectrumOf (c.response), n, rate, reach);
        EXPECT_TRUE (t.clear) << c.label;
        EXPECT_FALSE (t.beyondReach) << c.label;
        EXPECT_NEAR (t.latencySamples, c.latency, c.tolerance) << c.label;
        EXPECT_EQ (t.inverted, c.inverted) << c.label << ": " << t.flippedShare;
        EXPECT_EQ (t.linearPhase, c.linear) << c.label;
    }
}

TEST (Transfer, AnAllPassNetworkSpreadsItsArrivalOverItsGroupDelays)
{
    // The group delay of an all-pass from its phase, over the audible band: -d arg H / d omega.
    const auto groupDelayRange = [] (const Response& h) {
        auto lowest = 1e9, highest = -1e9;
        for (auto hz = 20.0; hz <= 20000.0; hz *= 1.01)
        {
            const auto step = 0.01 * hz;
            const auto turn = std::arg (h (hz + step) / h (hz - step));
            const auto samples = -turn / (2.0 * M_PI * 2.0 * step / rate);
            lowest = std::min (lowest, samples);
            highest = std::max (highest, samples);
        }
        return std::make_pair (lowest, highest);
    };

    std::vector<TrFixtureFilters::Biquad> eight (8, TrFixtureFilters::allPass (8000.0, 0.7071, rate));
    const auto chain = cascade (eight);
    const auto [chainEarliest, chainLatest] = groupDelayRange (chain);
    ASSERT_GT (chainLatest - chainEarliest, 10.0) << "the chain disperses";

    const struct
    {
        const char* label;
        Response response;
        double earliest, latest, tolerance;
    } cases[] {
        { "wire", delay (0.0), 0.0, 0.0, 0.05 },
        { "whole delay", delay (100.0), 100.0, 100.0, 0.05 },
        { "4th-order low-pass: nothing beyond its minimum phase", lowPass, 0.0, 0.0, 0.3 },
        { "peaking EQ", peakEq, 0.0, 0.0, 0.3 },
        { "eight all-passes at 8 kHz", chain, chainEarliest, chainLatest, 0.05 * chainLatest },
        { "the same behind a 100-sample delay", times (chain, delay (100.0)), 100.0 + chainEarliest, 100.0 + chainLatest, 0.05 * chainLatest },
    };

    for (const auto& c : cases)
    {
        const auto t = TrTransfer::timing (spectrumOf (c.response), n, rate, reach);
        EXPECT_NEAR (t.earliestSamples, c.earliest, c.tolerance) << c.label;
        EXPECT_NEAR (t.latestSamples, c.latest, c.tolerance) << c.label;
        EXPECT_GE (t.latestSamples + 0.5, t.latencySamples) << c.label << ": the arrival lies within the spread";
    }
}

TEST (Transfer, AStopBandSunkInCaptureNoiseDoesNotReadAsDelay)
{
    const auto sixthOrder210 = cascade ({ TrFixtureFilters::lowPass (210.0, 0.5176, rate), TrFixtureFilters::lowPass (210.0, 0.7071, rate),
                                          TrFixtureFilters::lowPass (210.0, 1.9319, rate) });
    const auto sixthOrderHighPass = cascade ({ TrFixtureFilters::highPass (4000.0, 0.5176, rate), TrFixtureFilters::highPass (4000.0, 0.7071, rate),
                                               TrFixtureFilters::highPass (4000.0, 1.9319, rate) });
    const struct
    {
        const char* label;
        Response response;
        double latency;
    } filters[] {
        { "8th-order low-pass at 60 Hz", steepLowPass, 0.0 },
        { "6th-order low-pass at 210 Hz", sixthOrder210, 0.0 },
        { "4th-order low-pass at 2 kHz behind 100 samples", times (lowPass, delay (100.0)), 100.0 },
        { "6th-order high-pass at 4 kHz behind 100 samples", times (sixthOrderHighPass, delay (100.0)), 100.0 },
    };

    for (const auto noiseDb : { -150.0, -130.0, -110.0 })
    {
        for (const auto& f : filters)
        {
            std::mt19937 rng (7);
            std::normal_distribution<double> noise (0.0, std::pow (10.0, noiseDb / 20.0));
            auto captured = spectrumOf (f.response);
            for (auto& v : captured)
                v += std::complex<double> (noise (rng), noise (rng));

            const auto t = TrTransfer::timing (captured, n, rate, reach);
            EXPECT_NEAR (t.latencySamples, f.latency, 1.0) << f.label << ", noise at " << noiseDb << " dB";
            EXPECT_FALSE (t.inverted) << f.label << ", noise at " << noiseDb << " dB";
        }
    }
}

TEST (Transfer, SilenceAndUnrelatedOutputAreNotClearAndALateResponseIsBeyondReach)
{
    EXPECT_FALSE (TrTransfer::timing (spectrumOf ([] (double) { return std::complex<double> (); }), n, rate, reach).clear);

    std::mt19937 rng (3);
    std::uniform_real_distribution<double> phase (-M_PI, M_PI);
    TrTransfer::Spectrum random (n / 2 + 1);
    for (auto& v : random)
        v = std::polar (1.0, phase (rng));
    EXPECT_FALSE (TrTransfer::timing (random, n, rate, reach).clear) << "output unrelated to the input";

    const auto late = TrTransfer::timing (spectrumOf (delay (70000.0)), n, rate, reach);
    EXPECT_TRUE (late.clear);
    EXPECT_TRUE (late.beyondReach);
}

TEST (Transfer, RelativeChangeComparesTwoMeasurements)
{
    const auto a = spectrumOf (lowPass);
    EXPECT_EQ (TrTransfer::relativeChange (a, a), 0.0);

    auto b = a;
    for (auto& v : b)
        v *= 1.1;
    EXPECT_NEAR (TrTransfer::relativeChange (a, b), 0.01, 1e-9);
}
