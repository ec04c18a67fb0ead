#pragma once

#include "TrSlotRecord.h"

/** The live oscilloscope's window: four periods of the tone in and out, delay-compensated. The
    three waves are index-aligned, one entry per sample. */
struct TrScopeResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    double frequencyHz = 1000.0;
    std::vector<float> timeMs;
    std::vector<float> inputWave;
    std::vector<float> outputWave;
    double inputPeakDb = 0.0;
    double outputPeakDb = 0.0;
    double outputRmsDb = 0.0;
    int latencySamples = 0;
    juce::String channelName = "left";
};
