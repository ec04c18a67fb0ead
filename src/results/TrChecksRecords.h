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
    /** The probe cannot see a delay this long or longer. */
    static constexpr double latencySearchLimit = 65472.0;

    double sampleRate = 48000.0;
    bool bypassFound = false;
    double bypassNullDb = 0.0;                         // dB re input
    int reportedLatency = 0;                           // after reset, before audio
    int reportedLatencyAfter = 0;                      // after audio has run
    double measuredLatency = 0.0;                      // samples, fractional; -1 when not measured
    double arrivalEarliest = 0.0;                      // samples: the range over which the plugin's phase spreads
    double arrivalLatest = 0.0;                        // its arrival (both the latency when it does not)
    bool latencyUnclear = false;                       // no clear or no steady response to the probe: the delay could not be measured
    bool timeVariant = false;                          // two runs of the same probe were answered differently
    bool responseSpread = false;                       // the response is spread over time like a reverb's: no single arrival
    bool latencyAtSearchLimit = false;
    bool polarityInverted = false;
    double dcSignalDbfs = TrSentinel::notMeasuredDb;
    double dcIdleDbfs = TrSentinel::notMeasuredDb;
    double selfNoiseDbfs = TrSentinel::notMeasuredDb;  // RMS of the output on silence, its DC taken out
    std::vector<float> noiseFreqHz;                    // peak frequency of each occupied log band
    std::vector<float> noiseSpecDb;                    // dBFS, sine-calibrated
    juce::String channelName = "left";
};
