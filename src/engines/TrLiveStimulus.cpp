#include "TrLiveStimulus.h"

#include "dsp/TrMiniFft.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double twoPi = 6.283185307179586476925286766559;
}

double TrLiveStimulus::Random48::next() noexcept
{
    state = (state * 0x5DEECE66DULL + 11ULL) & ((1ULL << 48) - 1ULL);
    return static_cast<double> ((state >> 16) & 0xffffffffULL) / 4294967296.0;
}

float TrLiveStimulus::PinkNoise::next() noexcept
{
    const auto w = 2.0 * random.next() - 1.0;
    b0 = 0.99765 * b0 + 0.0990460 * w;
    b1 = 0.96300 * b1 + 0.2965164 * w;
    b2 = 0.57000 * b2 + 1.0526913 * w;
    return static_cast<float> ((b0 + b1 + b2 + 0.1848 * w) * 0.18 * std::pow (10.0, -18.0 / 20.0) * 2.5);
}

int TrLiveStimulus::harmonicsBin (double frequencyHz, double sampleRate)
{
    const auto rounded = std::llround (frequencyHz * 16384.0 / sampleRate);
    if (rounded < 0)
        return 1;
    return static_cast<int> (std::min<long long> (rounded | 1LL, 8191LL));
}

int TrLiveStimulus::scopePeriod (double frequencyHz, double sampleRate)
{
    const auto period = static_cast<int> (std::lround (sampleRate / std::max (frequencyHz, 20.0)));
    return period < 5 ? 4 : period;
}

TrLiveStimulus::Multisine TrLiveStimulus::Multisine::build (double levelDb)
{
    Random48 random { 0x4D554C54 };
    std::vector<std::complex<double>> half (period / 2 + 1);
    for (int k = 1; k < period / 2; ++k)
        half[static_cast<size_t> (k)] = std::polar (1.0, random.next() * twoPi);

    const auto wave = minifft::inverseRealSpectrum (half, period);
    double peak = 0.0;
    for (auto v : wave)
        peak = std::max (peak, std::abs (v));
    const auto scale = std::pow (10.0, levelDb / 20.0) / std::max (peak, 1e-12);

    Multisine m;
    std::vector<double> stored (period);
    for (int i = 0; i < period; ++i)
    {
        m.samples.push_back (static_cast<float> (wave[static_cast<size_t> (i)] * scale));
        stored[static_cast<size_t> (i)] = m.samples.back();
    }
    m.spectrum = minifft::realSpectrum (stored, period);
    for (const auto& c : m.spectrum)
        m.magnitude.push_back (std::abs (c));
    m.magnitude.front() *= 0.5;
    m.magnitude.back() *= 0.5;
    return m;
}

void TrLiveStimulus::fill (float* block, int count, std::int64_t n0, const TrLiveSettings& s, int bin, int period, const Multisine& multisine)
{
    const auto a = std::pow (10.0, s.levelDb / 20.0);
    const auto rate = s.sampleRate;
    for (int i = 0; i < count; ++i)
    {
        const auto n = n0 + i;
        double x = 0.0;
        switch (s.mode)
        {
            case TrLiveSettings::Mode::harmonics:
                // bin / 16384 cycles per sample: the phase of sample n, reduced exactly in integers.
                x = a * std::sin (twoPi * static_cast<double> ((n * bin) % 16384) / 16384.0);
                break;
            case TrLiveSettings::Mode::scope:
                x = a * std::sin (twoPi * static_cast<double> (n % period) / period);
                break;
            case TrLiveSettings::Mode::curve:
                x = multisine.samples.empty() ? 0.0 : multisine.samples[static_cast<size_t> (n % Multisine::period)];
                break;
            case TrLiveSettings::Mode::dynamics:
            {
                const auto cycle = static_cast<std::int64_t> (4.0 * rate);
                const auto p = static_cast<double> (n % cycle) / static_cast<double> (cycle);
                const auto t = p < 0.5 ? 2.0 * p : 2.0 - 2.0 * p;
                const auto level = s.sweepLowDb + t * (s.sweepHighDb - s.sweepLowDb);
                // 1000 Hz: the phase of sample n as a whole number of 1000ths of the rate.
                const auto r = static_cast<std::int64_t> (std::llround (rate));
                x = std::pow (10.0, level / 20.0) * std::sin (twoPi * static_cast<double> ((n * 1000) % r) / static_cast<double> (r));
                break;
            }
            case TrLiveSettings::Mode::nullTest:
            case TrLiveSettings::Mode::off:
            default:
                break;
        }
        block[i] = static_cast<float> (x);
    }
}
