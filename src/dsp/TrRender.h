#pragma once

#include "TrChannelMode.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <functional>
#include <vector>

/** Returns true when the user asked to stop; polled once per block. May be empty. */
using TrCancel = std::function<bool()>;

/** Where a measurement publishes its progress: a fraction of one stage mapped into [start, end]
    of the whole run. The pointer may be null. */
struct TrProgress
{
    std::atomic<float>* value = nullptr;
    float start = 0.0f;
    float end = 1.0f;

    void publish (double fraction) const noexcept;
};

/** The buffer every render uses: max(2, total inputs, total outputs) channels of blockSize
    samples, cleared. */
juce::AudioBuffer<float> makeRenderBuffer (const juce::AudioPluginInstance& plugin, int blockSize);

/** Fails a capture that holds NaN or infinity, or that peaks above 100.0 (+40 dBFS); the
    non-finite check wins. */
bool checkCapture (const std::vector<double>& capture, juce::String& error);

/** Time spent inside processBlock during a capture, block by block, and the samples rendered
    (skipped ones included). */
struct TrCaptureCost
{
    double processSeconds = 0.0;
    long long samplesRendered = 0;
    std::vector<double> blockSeconds;
};

/** Renders stimulus(n) (n = absolute sample index from 0) block by block through the plugin,
    discards the first skip output samples and captures the next count, read per the channel
    mode. Does not reset the plugin. Fails with "aborted" on cancel, or per checkCapture; the
    cost, when asked for, is filled in either case. */
bool renderCapture (juce::AudioPluginInstance& plugin, int blockSize, TrChannelMode mode, int skip, int count,
                    const std::function<double (long long)>& stimulus, std::vector<double>& capture,
                    juce::String& error, TrProgress progress, const TrCancel& cancel, TrCaptureCost* cost = nullptr);

/** renderCapture without the check of what came out: for callers that judge the output
    themselves. Fails only with "aborted" (or an unusable block size). */
bool renderUnchecked (juce::AudioPluginInstance& plugin, int blockSize, TrChannelMode mode, int skip, int count,
                      const std::function<double (long long)>& stimulus, std::vector<double>& capture,
                      juce::String& error, TrProgress progress, const TrCancel& cancel, TrCaptureCost* cost = nullptr);

/** Resets and settles the plugin, renders the input followed by tail samples of silence and returns all
    input length + tail output samples. Progress runs from offset to offset + 0.45. On cancel it
    returns false without an error text (the caller reports); the output is not checked. */
bool renderThrough (juce::AudioPluginInstance& plugin, int blockSize, const std::vector<float>& input, int tail,
                    TrChannelMode mode, std::vector<float>& output, std::atomic<float>* progress,
                    float progressOffset, const TrCancel& cancel);

/** Cost of processBlock alone over the measured blocks of a timed render, and whether the
    plugin's output showed it processed at all. */
struct TrBlockTiming
{
    double meanNsPerSample = 0.0;     // plain mean: what the plugin costs, work done once in a while included
    double trimmedNsPerSample = 0.0;  // mean with the slowest 5 % of blocks left out: the usual block
    double p95NsPerSample = 0.0;
    double worstBlockMs = 0.0;
    bool silent = false;              // the measured output stayed 100 dB or more below the tone
    bool unchanged = false;           // the measured output equalled the tone within -100 dB
};

/** The statistics of block durations in seconds (at least one) for a block size: plain and
    5 %-trimmed mean and 95th percentile per sample (element floor (0.95 n) of the sorted
    durations), and the slowest block. */
TrBlockTiming reduceBlockTimes (std::vector<double> durations, int blockSize);

/** Renders a sine (silence when the amplitude is 0) and times every processBlock call after
    the warm-up. Fails with "aborted", a non-finite or implausible output, or "nothing
    measured". */
bool timedRender (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize, TrChannelMode mode,
                  double toneHz, double amplitude, long long warmupSamples, long long measuredSamples,
                  TrBlockTiming& timing, juce::String& error, const TrCancel& cancel);
