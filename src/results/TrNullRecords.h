#pragma once

#include "TrSlotRecord.h"

/** Parameters of the null test of slot A against slot B. */
struct TrNullParams
{
    double sampleRate = 48000.0;
    int blockSize = 512;
    double seconds = 8.0;
    double levelDb = -18.0;
    juce::String file;                                 // empty: pink noise
    TrChannelMode channel = TrChannelMode::left;
};

/** A loudness-matched, sample-aligned subtraction of B from A. It concerns both slots, so it
    carries no slot number. */
struct TrNullResult
{
    juce::String error;
    juce::String nameA;
    juce::String nameB;
    juce::String signalName;
    double sampleRate = 48000.0;
    double lufsA = 0.0;
    double lufsB = 0.0;
    double matchGainDb = 0.0;                          // lufsA - lufsB (RMS A / RMS B when matchedByRms), applied to B
    bool matchedByRms = false;                         // a side lay below the loudness gate: matched by plain level
    double latencyDeltaSamples = 0.0;                  // B behind A
    double nullDepthDb = 0.0;                          // energy of A - matched B re A, 20 Hz to 20 kHz
    double diffPeakDbfs = TrSentinel::notMeasuredDb;
    juce::String verdictText;
    std::vector<float> freqHz;                         // 1024 log-spaced points
    std::vector<float> specADb;
    std::vector<float> specBDb;                        // plus matchGainDb
    std::vector<float> specDiffDb;
    std::vector<float> residual;                       // A - matched B
    juce::String channelName = "left";
};
