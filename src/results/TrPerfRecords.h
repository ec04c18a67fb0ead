#pragma once

#include "TrSlotRecord.h"

/** Parameters of the processing-cost measurement. */
struct TrPerfParams
{
    double sampleRate = 48000.0;
    double levelDb = -12.0;
    double toneHz = 1000.0;
    double seconds = 2.0;                              // measured time per block size
    double silenceSeconds = 4.0;
    std::vector<int> blockSizes { 32, 64, 128, 256, 512, 1024 };
    TrChannelMode channel = TrChannelMode::left;
};

/** Cost per sample and per call at each block size, the real-time share and denormal behaviour. */
struct TrPerfResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    std::vector<float> blockSizes;
    std::vector<float> nsPerSample;                    // plain mean: what the plugin costs
    std::vector<float> trimmedNsPerSample;             // 5 %-trimmed mean: the usual block
    std::vector<float> p95NsPerSample;
    std::vector<float> percentRealtime;                // of the budget 1e9 / sampleRate ns
    std::vector<int> notProcessing;                    // sizes whose output stayed silent or unchanged while others processed
    double worstPercentRealtime = 0.0;                 // the largest share among the sizes that processed
    int worstBlockSize = 0;                            // the size it was measured at
    double nsPerSampleAt512 = 0.0;                     // or at the last processing size when 512 was not measured
    double percentRealtimeAt512 = 0.0;
    double worst512BlockMs = 0.0;                      // 0 when 512 was not measured
    double perSampleNs = 0.0;                          // slope of the block-cost fit
    double perBlockUs = 0.0;                           // intercept of the block-cost fit
    double denormalRatio = 1.0;                        // cost on silence / cost on signal
    int latencySamples = 0;
    juce::String channelName = "left";
};
