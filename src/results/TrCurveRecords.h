#pragma once

#include "TrSlotRecord.h"

/** Parameters of the frequency-response sweep. */
struct TrCurveParams
{
    double levelDb = -12.0;
    double sampleRate = 48000.0;
    int blockSize = 512;
    double sweepSeconds = 4.0;
    double tailSeconds = 1.5;
    int points = 2048;
    bool repeat = false;
    TrChannelMode channel = TrChannelMode::left;
};

/** Magnitude, phase, latency, polarity and phase character. The four curves are index-aligned. */
struct TrCurveResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    double levelDb = -12.0;
    std::vector<float> freqHz;                         // log-spaced, 20 Hz .. 0.99 Nyquist
    std::vector<float> magDb;
    std::vector<float> magSmoothedDb;                  // about 1/48 octave; what verdicts judge
    std::vector<float> phaseDeg;                       // unwrapped, measured delay removed
    double measuredLatency = 0.0;                      // samples, fractional
    double arrivalEarliest = 0.0;                      // samples: the range over which the plugin's phase spreads
    double arrivalLatest = 0.0;                        // its arrival (both the latency when it does not)
    bool latencyUnclear = false;                       // no single, steady arrival (noise, a reverb, modulation): delay and polarity not judged
    int reportedLatency = 0;
    double gainAt1kDb = 0.0;
    double cpuNsPerSample = 0.0;
    double repeatabilityDb = TrSentinel::notMeasured;
    bool timeVariant = false;
    bool polarityInverted = false;
    juce::String phaseCharacter;                       // "linear", "minimum", "mixed"; empty: not classified
    double phaseDevFlatDeg = TrSentinel::notMeasured;
    double phaseDevMinPhaseDeg = TrSentinel::notMeasured;
    juce::String channelName = "left";
};
