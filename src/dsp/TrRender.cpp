#include "TrRender.h"

#include "TrSettle.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrErrorTexts.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

namespace
{
constexpr double implausiblePeak = 100.0;

// A nanosecond clock: JUCE's high-resolution ticks are whole microseconds on Linux, coarser than
// one block of a light plugin.
double secondsNow()
{
    return std::chrono::duration<double> (std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool cancelled (const TrCancel& cancel)
{
    return cancel && cancel();
}
}

void TrProgress::publish (double fraction) const noexcept
{
    if (value != nullptr)
        value->store (start + static_cast<float> (std::clamp (fraction, 0.0, 1.0)) * (end - start));
}

juce::AudioBuffer<float> makeRenderBuffer (const juce::AudioPluginInstance& plugin, int blockSize)
{
    const auto channels = std::max ({ 2, plugin.getTotalNumInputChannels(), plugin.getTotalNumOutputChannels() });
    juce::AudioBuffer<float> buffer (channels, blockSize);
    buffer.clear();
    return buffer;
}

bool checkCapture (const std::vector<double>& capture, juce::String& error)
{
    double peak = 0.0;
    for (auto x : capture)
    {
        if (! std::isfinite (x))
        {
            error = TrErrorText::nonFinite;
            return false;
        }
        peak = std::max (peak, std::abs (x));
    }

    if (peak > implausiblePeak)
    {
        error = TrErrorText::implausible;
        return false;
    }

    return true;
}

bool renderCapture (juce::AudioPluginInstance& plugin, int blockSize, TrChannelMode mode, int skip, int count,
                    const std::function<double (long long)>& stimulus, std::vector<double>& capture,
                    juce::String& error, TrProgress progress, const TrCancel& cancel, TrCaptureCost* cost)
{
    return renderUnchecked (plugin, blockSize, mode, skip, count, stimulus, capture, error, progress, cancel, cost)
        && checkCapture (capture, error);
}

bool renderUnchecked (juce::AudioPluginInstance& plugin, int blockSize, TrChannelMode mode, int skip, int count,
                      const std::function<double (long long)>& stimulus, std::vector<double>& capture,
                      juce::String& error, TrProgress progress, const TrCancel& cancel, TrCaptureCost* cost)
{
    capture.clear();
    if (blockSize < 1)
    {
        error = TrErrorText::invalidBlockSize;
        return false;
    }

    capture.reserve (static_cast<size_t> (std::max (0, count)));

    auto buffer = makeRenderBuffer (plugin, blockSize);
    const TrChannelRoute route (plugin, mode);
    juce::MidiBuffer midi;
    long long counter = 0;
    int discarded = 0;
    if (cost != nullptr)
    {
        *cost = {};
        cost->blockSeconds.reserve (static_cast<size_t> ((static_cast<long long> (skip) + count) / blockSize + 1));
    }

    while (static_cast<int> (capture.size()) < count)
    {
        if (cancelled (cancel))
        {
            error = TrErrorText::aborted;
            return false;
        }

        for (int i = 0; i < blockSize; ++i)
            route.write (buffer, i, static_cast<float> (stimulus (counter + i)));

        const auto before = secondsNow();
        plugin.processBlock (buffer, midi);
        const auto seconds = secondsNow() - before;
        midi.clear();

        for (int i = 0; i < blockSize && static_cast<int> (capture.size()) < count; ++i)
        {
            if (discarded < skip)
                ++discarded;
            else
                capture.push_back (route.read (buffer, i));
        }

        counter += blockSize;
        progress.publish (static_cast<double> (counter) / (static_cast<double> (skip) + count));

        if (cost != nullptr)
        {
            cost->processSeconds += seconds;
            cost->samplesRendered = counter;
            cost->blockSeconds.push_back (seconds);
        }
    }

    return true;
}

bool renderThrough (juce::AudioPluginInstance& plugin, int blockSize, const std::vector<float>& input, int tail,
                    TrChannelMode mode, std::vector<float>& output, std::atomic<float>* progress,
                    float progressOffset, const TrCancel& cancel)
{
    const auto total = input.size() + static_cast<size_t> (std::max (0, tail));
    output.clear();
    if (blockSize < 1)
        return false;

    output.reserve (total);

    auto buffer = makeRenderBuffer (plugin, blockSize);
    const TrChannelRoute route (plugin, mode);
    juce::MidiBuffer midi;
    const TrProgress stage { progress, progressOffset, progressOffset + 0.45f };

    float peak = 0.0f;
    for (auto v : input)
        peak = std::max (peak, std::abs (v));
    if (! resetOnMessageThread (plugin) || ! TrSettle::run (plugin, plugin.getSampleRate(), blockSize, mode, peak, cancel))
        return false;

    while (output.size() < total)
    {
        if (cancelled (cancel))
            return false;

        const auto rendered = output.size();
        for (int i = 0; i < blockSize; ++i)
        {
            const auto index = rendered + static_cast<size_t> (i);
            route.write (buffer, i, index < input.size() ? input[index] : 0.0f);
        }

        plugin.processBlock (buffer, midi);
        midi.clear();

        for (int i = 0; i < blockSize && output.size() < total; ++i)
            output.push_back (static_cast<float> (route.read (buffer, i)));

        stage.publish (static_cast<double> (output.size()) / static_cast<double> (total));
    }

    return true;
}

bool timedRender (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize, TrChannelMode mode,
                  double toneHz, double amplitude, long long warmupSamples, long long measuredSamples,
                  TrBlockTiming& timing, juce::String& error, const TrCancel& cancel)
{
    if (blockSize < 1)
    {
        error = TrErrorText::invalidBlockSize;
        return false;
    }

    auto buffer = makeRenderBuffer (plugin, blockSize);
    const TrChannelRoute route (plugin, mode);
    juce::MidiBuffer midi;
    std::vector<double> durations;
    durations.reserve (static_cast<size_t> (measuredSamples / blockSize + 1));

    const auto step = juce::MathConstants<double>::twoPi * toneHz / sampleRate;
    std::vector<float> tone (static_cast<size_t> (blockSize));
    bool nonFinite = false;
    float peak = 0.0f;
    double toneEnergy = 0.0, outputEnergy = 0.0, changeEnergy = 0.0;

    for (long long processed = 0; processed < warmupSamples + measuredSamples; processed += blockSize)
    {
        if (cancelled (cancel))
        {
            error = TrErrorText::aborted;
            return false;
        }

        for (int i = 0; i < blockSize; ++i)
        {
            tone[static_cast<size_t> (i)] = amplitude > 0.0 ? static_cast<float> (amplitude * std::sin (step * static_cast<double> (processed + i))) : 0.0f;
            route.write (buffer, i, tone[static_cast<size_t> (i)]);
        }

        const auto before = secondsNow();
        plugin.processBlock (buffer, midi);
        const auto after = secondsNow();
        midi.clear();

        const auto* out = buffer.getReadPointer (0);
        const auto measured = processed >= warmupSamples;
        if (measured)
            durations.push_back (after - before);

        for (int i = 0; i < blockSize && ! nonFinite; ++i)
        {
            nonFinite = ! std::isfinite (out[i]);
            peak = std::max (peak, std::abs (out[i]));
            if (measured)
            {
                const double x = tone[static_cast<size_t> (i)], y = out[i];
                toneEnergy += x * x;
                outputEnergy += y * y;
                changeEnergy += (y - x) * (y - x);
            }
        }
    }

    if (nonFinite)
    {
        error = TrErrorText::nonFinite;
        return false;
    }

    if (peak > implausiblePeak)
    {
        error = TrErrorText::implausible;
        return false;
    }

    if (durations.empty())
    {
        error = TrErrorText::nothingMeasured;
        return false;
    }

    timing = reduceBlockTimes (std::move (durations), blockSize);
    timing.silent = toneEnergy > 0.0 && outputEnergy <= 1e-10 * toneEnergy;
    timing.unchanged = toneEnergy > 0.0 && changeEnergy <= 1e-10 * toneEnergy;
    return true;
}

TrBlockTiming reduceBlockTimes (std::vector<double> durations, int blockSize)
{
    TrBlockTiming timing;
    if (durations.empty() || blockSize < 1)
        return timing;

    std::sort (durations.begin(), durations.end());
    const auto n = durations.size();
    const auto kept = std::max<size_t> (1, n - n / 20);
    const auto perSample = 1e9 / blockSize;

    timing.meanNsPerSample = std::accumulate (durations.begin(), durations.end(), 0.0) / static_cast<double> (n) * perSample;
    timing.trimmedNsPerSample = std::accumulate (durations.begin(), durations.begin() + static_cast<long> (kept), 0.0)
                              / static_cast<double> (kept) * perSample;
    timing.p95NsPerSample = durations[std::min (static_cast<size_t> (0.95 * static_cast<double> (n)), n - 1)] * perSample;
    timing.worstBlockMs = durations.back() * 1000.0;
    return timing;
}
