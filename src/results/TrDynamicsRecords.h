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
    juce::String shape = "linear";                     // "linear", "compressor", "expander" or "irregular"
    double thresholdDb = 0.0;
    double ratio = 1.0;                                // below 1 for an expander: 1 : (1 / ratio)
    double kneeDb = 0.0;                               // full width of the soft knee, centred on the threshold
    double makeupDb = 0.0;                             // gain where nothing is reduced
    double fitErrorDb = 0.0;                           // RMS distance of the steps from the fitted curve (irregular: from the median gain)
    std::vector<float> envTimeSec;                     // 0 = step up
    std::vector<float> envInDb;
    std::vector<float> envOutDb;                       // latency-compensated
    std::vector<float> envGainDb;                      // re the pre-burst baseline; negative = reduction
    double attackMs = TrSentinel::notMeasured;        // to 63 % of the steady reduction after the step up
    double releaseMs = TrSentinel::notMeasured;       // back to 37 % of it after the step down
    double timeResolutionMs = 0.0;                     // envelope frame: shorter times read as below it
    bool timeVariant = false;                          // the gain wobbles while the burst holds its level
    bool hasTail = false;                              // output rings on for half a second after a burst
    bool externalSidechain = false;
    double burstLowDb = -30.0;
    double burstHighDb = -6.0;
    int latencySamples = 0;                            // reported by the plugin
    int delaySamples = 0;                              // the delay the windows were shifted by
    juce::String channelName = "left";
};
