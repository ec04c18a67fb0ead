#include "TrSettle.h"

#include "TrMiniFft.h"
#include "hosting/TrReportedLatency.h"

#include <cmath>

namespace TrSettle
{
namespace
{
constexpr double periodSeconds = 0.085;
constexpr double capSeconds = 2.0;
constexpr double steadyChange = 1e-5;    // -50 dB of the period's energy
constexpr double decayedEnergy = 1e-10;  // -100 dB of the steady output's energy
constexpr int agreementsNeeded = 2;

/** One period of output, read per mode; each call renders whole blocks and keeps the overshoot. */
class PeriodReader
{
public:
    PeriodReader (juce::AudioPluginInstance& p, int block, TrChannelMode m)
        : plugin (p), blockSize (block), route (p, m), buffer (makeRenderBuffer (p, block))
    {
    }

    bool read (const std::vector<float>& input, std::vector<double>& output, long long& rendered, const TrCancel& cancel)
    {
        output.clear();
        const auto length = input.size();
        while (output.size() < length)
        {
            if (pending.empty())
            {
                if (cancel && cancel())
                    return false;

                for (int i = 0; i < blockSize; ++i)
                    route.write (buffer, i, input[static_cast<size_t> ((rendered + i) % static_cast<long long> (length))]);

                plugin.processBlock (buffer, midi);
                midi.clear();
                rendered += blockSize;
                for (int i = 0; i < blockSize; ++i)
                    pending.push_back (route.read (buffer, i));
            }

            const auto take = std::min (pending.size(), length - output.size());
            output.insert (output.end(), pending.begin(), pending.begin() + static_cast<long> (take));
            pending.erase (pending.begin(), pending.begin() + static_cast<long> (take));
        }
        return true;
    }

private:
    juce::AudioPluginInstance& plugin;
    const int blockSize;
    const TrChannelRoute route;
    juce::AudioBuffer<float> buffer;
    juce::MidiBuffer midi;
    std::vector<double> pending;
};

double energyOf (const std::vector<double>& x)
{
    double sum = 0.0;
    for (auto v : x)
        sum += std::isfinite (v) ? v * v : 0.0;
    return sum;
}

double changeBetween (const std::vector<double>& a, const std::vector<double>& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        const auto d = a[i] - b[i];
        sum += std::isfinite (d) ? d * d : 0.0;
    }
    return sum;
}
}

int periodFor (double sampleRate)
{
    const auto target = std::max (256.0, periodSeconds * sampleRate);
    return static_cast<int> (std::pow (2.0, std::round (std::log2 (target))));
}

std::vector<float> multitone (int period, double sampleRate, double amplitude)
{
    // Schroeder phases keep the crest factor low, so the level stays close to the amplitude's.
    std::vector<std::complex<double>> spectrum (static_cast<size_t> (period / 2 + 1));
    const auto first = std::max (1, static_cast<int> (std::ceil (20.0 * period / sampleRate)));
    const auto last = std::min (period / 2 - 1, static_cast<int> (0.45 * period));
    const auto count = static_cast<double> (last - first + 1);
    for (int k = first; k <= last; ++k)
        spectrum[static_cast<size_t> (k)] = std::polar (1.0, -juce::MathConstants<double>::pi * (k - first) * (k - first) / count);

    const auto signal = minifft::inverseRealSpectrum (spectrum, period);
    double peak = 0.0;
    for (auto v : signal)
        peak = std::max (peak, std::abs (v));

    std::vector<float> out (signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        out[i] = peak > 0.0 ? static_cast<float> (amplitude * signal[i] / peak) : 0.0f;
    return out;
}

bool run (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize, TrChannelMode mode, double amplitude,
          const TrCancel& cancel, Outcome* outcome)
{
    const auto period = periodFor (sampleRate);
    const auto tone = multitone (period, sampleRate, amplitude);
    const std::vector<float> silence (static_cast<size_t> (period), 0.0f);
    PeriodReader reader (plugin, blockSize, mode);
    Outcome o;

    // The first block tells an LV2 plugin's latency; it bounds how long the output may take.
    std::vector<double> previous, current;
    if (! reader.read (tone, previous, o.samples, cancel))
        return false;

    const auto latency = std::max (0, reportedLatency (plugin));
    const auto cap = latency + static_cast<long long> (capSeconds * sampleRate);
    const auto earliest = latency + 2LL * period;

    int agreements = 0;
    double steadyEnergy = energyOf (previous);
    while (o.samples < cap)
    {
        if (! reader.read (tone, current, o.samples, cancel))
            return false;

        steadyEnergy = energyOf (current);
        agreements = changeBetween (current, previous) <= steadyChange * steadyEnergy ? agreements + 1 : 0;
        std::swap (current, previous);

        if (o.samples >= earliest && agreements >= agreementsNeeded)
        {
            o.steady = true;
            break;
        }
    }

    const auto decayCap = o.samples + cap;
    const auto decayEarliest = o.samples + latency + period;
    while (o.samples < decayCap)
    {
        if (! reader.read (silence, current, o.samples, cancel))
            return false;

        if (o.samples >= decayEarliest && energyOf (current) <= decayedEnergy * steadyEnergy)
            break;
    }

    if (outcome != nullptr)
        *outcome = o;
    return true;
}
}
