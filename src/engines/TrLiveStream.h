#pragma once

#include <juce_core/juce_core.h>

#include <complex>
#include <cstdint>
#include <limits>
#include <vector>

/** What the live engine keeps of one slot's stream: the latest output in a ring, the counters,
    the plugin it came from, and the state the frame analyses carry from block to block. */
struct TrLiveStream
{
    static constexpr int ringSize = 32768;

    std::vector<float> ring = std::vector<float> (ringSize, 0.0f);
    int writePos = 0;
    std::int64_t totalSamples = 0;
    std::int64_t cpuTicks = 0, cpuSamples = 0;
    std::vector<double> curvePower;
    std::vector<std::complex<double>> curveCross;
    bool curveReady = false;
    /** The delay the last curve frame measured; NaN before the first. */
    double curveDelay = std::numeric_limits<double>::quiet_NaN();
    juce::String pluginName;
    int latency = 0;
    std::vector<float> dynOutDb, dynSeen;
    float dynWindowPeak = 0.0f;
    int dynWindowCount = 0;

    /** Silence in the ring, every counter and analysis state cleared. */
    void reset();

    /** Appends the block's samples to the ring. */
    void write (const float* samples, int count);

    /** The count samples that end `before` samples before the newest one's successor, oldest
        first; false (and nothing usable) when one of them is not a finite number or the ring
        does not reach back that far. */
    bool last (int count, int before, std::vector<double>& out) const;
};
