#pragma once

#include "TrSlotRecord.h"

/** Parameters of the honesty checks. */
struct TrChecksParams
{
    double sampleRate = 48000.0;
    int blockSize = 512;
    double toneHz = 997.0;
    double levelDb = -12.0;
    TrChannelMode channel = TrChannelMode::left;
};

/** Latency, bypass, polarity, DC and self-noise honesty. */
struct TrChecksResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    bool bypassFound = false;
    double bypassNullDb = 0.0;                         // dB re input
    int reportedLatency = 0;                           // after reset, before audio
    int reportedLatencyAfter = 0;                      // after audio has run
    double measuredLatency = 0.0;                      // samples, fractional
    bool latencyAtSearchLimit = false;
    bool polarityInverted = false;
    double dcSignalDbfs = TrSentinel::notMeasuredDb;
    double dcIdleDbfs = TrSentinel::notMeasuredDb;
    double selfNoiseDbfs = TrSentinel::notMeasuredDb;
    std::vector<float> noiseFreqHz;                    // peak frequency of each occupied log band
    std::vector<float> noiseSpecDb;                    // dBFS, sine-calibrated
    juce::String channelName = "left";
};
