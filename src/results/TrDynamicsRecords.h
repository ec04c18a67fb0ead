#pragma once

#include "TrSlotRecord.h"

/** Parameters of the dynamics measurement: stepped tones for the transfer curve, then a
    low-high-low burst for attack and release. */
struct TrDynamicsParams
{
    double sampleRate = 48000.0;
    int blockSize = 512;
    double toneHz = 1000.0;
    double startDb = -60.0;
    double endDb = 6.0;
    double stepDb = 1.5;
    double stepSeconds = 0.4;
    double burstLowDb = -30.0;
    double burstHighDb = -6.0;
    double prerollSeconds = 1.0;
    double burstLowBeforeSeconds = 0.4;
    double burstHighSeconds = 2.0;
    double burstLowAfterSeconds = 2.5;
    bool autoBurst = true;
    bool externalSidechain = false;
    double sidechainMainDb = -12.0;
    TrChannelMode channel = TrChannelMode::left;
};

/** Transfer curve, threshold, ratio, knee, make-up, and the burst envelopes with attack and release. */
struct TrDynamicsResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    double toneHz = 1000.0;
    std::vector<float> inDb;                           // input (or sidechain) level per step, dBFS
    std::vector<float> outDb;                          // output peak per step, dBFS
    double thresholdDb = 0.0;
    double ratio = 1.0;
    double kneeDb = 0.0;
    double makeupDb = 0.0;
    std::vector<float> envTimeSec;                     // 0 = step up
    std::vector<float> envInDb;
    std::vector<float> envOutDb;                       // latency-compensated
    std::vector<float> envGainDb;                      // re the pre-burst baseline; negative = reduction
    double attackMs = TrSentinel::notMeasured;
    double releaseMs = TrSentinel::notMeasured;
    bool externalSidechain = false;
    double burstLowDb = -30.0;
    double burstHighDb = -6.0;
    int latencySamples = 0;
    juce::String channelName = "left";
};
