// Speed of the signal toolkit: the FFT candidates, true peak, loudness (ours beside libebur128)
// and the cross-correlation delay search.

#include "TrRadix2Fft.h"
#include "dsp/TrDelay.h"
#include "dsp/TrLoudness.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSpectrum.h"

#include <benchmark/benchmark.h>
#include <ebur128.h>

#include <random>

namespace
{
std::vector<double> noise (size_t n)
{
    std::mt19937 rng (1);
    std::normal_distribution<double> dist (0.0, 0.3);
    std::vector<double> x (n);
    for (auto& v : x)
        v = dist (rng);
    return x;
}

std::vector<float> programme (double seconds, double sampleRate)
{
    const auto x = noise (static_cast<size_t> (seconds * sampleRate));
    return { x.begin(), x.end() };
}

void fftSizes (benchmark::internal::Benchmark* b)
{
    for (auto n : { 8192, 65536, 131072, 524288 })
        b->Arg (n);
}

void radix2 (benchmark::State& state)
{
    const auto x = noise (static_cast<size_t> (state.range (0)));
    for (auto _ : state)
        benchmark::DoNotOptimize (radix2MagnitudeReal (x));
}
BENCHMARK (radix2)->Apply (fftSizes)->Unit (benchmark::kMicrosecond);

void fftw (benchmark::State& state)
{
    const auto x = noise (static_cast<size_t> (state.range (0)));
    for (auto _ : state)
        benchmark::DoNotOptimize (minifft::magnitudeReal (x));
}
BENCHMARK (fftw)->Apply (fftSizes)->Unit (benchmark::kMicrosecond);

void truePeak65536 (benchmark::State& state)
{
    const auto x = noise (65536);
    for (auto _ : state)
        benchmark::DoNotOptimize (oversampledPeak (x));
}
BENCHMARK (truePeak65536)->Unit (benchmark::kMillisecond);

void lufs60sOurs (benchmark::State& state)
{
    const auto x = programme (60.0, 48000.0);
    for (auto _ : state)
        benchmark::DoNotOptimize (integratedLufs (x, 48000.0));
}
BENCHMARK (lufs60sOurs)->Unit (benchmark::kMillisecond);

void lufs60sLibebur128 (benchmark::State& state)
{
    const auto x = programme (60.0, 48000.0);
    for (auto _ : state)
    {
        auto* meter = ebur128_init (1, 48000, EBUR128_MODE_I);
        ebur128_add_frames_float (meter, x.data(), x.size());
        double lufs = 0.0;
        ebur128_loudness_global (meter, &lufs);
        ebur128_destroy (&meter);
        benchmark::DoNotOptimize (lufs);
    }
}
BENCHMARK (lufs60sLibebur128)->Unit (benchmark::kMillisecond);

void xcorr (benchmark::State& state)
{
    const auto a = noise (131072);
    auto b = a;
    std::rotate (b.begin(), b.end() - 480, b.end());
    for (auto _ : state)
        benchmark::DoNotOptimize (xcorrPeak (a, b));
}
BENCHMARK (xcorr)->Unit (benchmark::kMillisecond);
}

BENCHMARK_MAIN();
