#pragma once

#include "TrSlotRecord.h"

#include <array>

/** Parameters of the single-tone harmonics measurement. */
struct TrHarmonicsParams
{
    double frequencyHz = 1000.0;
    double levelDb = -6.0;
    double sampleRate = 48000.0;
    int blockSize = 512;
    int fftSize = 65536;
    TrChannelMode channel = TrChannelMode::left;
};

/** Parameters of the THD sweep over frequency or level. */
struct TrThdSweepParams
{
    bool vsLevel = false;
    double levelDb = -6.0;
    double frequencyHz = 1000.0;
    double sampleRate = 48000.0;
    int blockSize = 512;
    int fftSize = 16384;
    int points = 31; // values below 2 count as 2
    TrChannelMode channel = TrChannelMode::left;
};

/** Parameters of the two-tone intermodulation measurement. */
struct TrImdParams
{
    bool ccif = false; // false: SMPTE
    double levelDb = -6.0;
    double sampleRate = 48000.0;
    int blockSize = 512;
    int fftSize = 65536;
    TrChannelMode channel = TrChannelMode::left;
};

/** Harmonic distortion, noise, aliasing, DC and true peak of one tone. */
struct TrHarmonicsResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    double frequencyHz = 1000.0;                       // actual tone: bin * sampleRate / fftSize
    double levelDb = -6.0;                             // stimulus, dBFS peak
    int fftSize = 65536;
    int bin = 0;                                       // odd after a run
    std::vector<float> spectrumDb;                     // fftSize / 2 + 1 values, dB re the output fundamental
    double binHz = 0.0;
    double thdDb = TrSentinel::notMeasuredDb;          // NaN when no harmonic lies below Nyquist
    double thdPercent = 0.0;
    double thdnDb = TrSentinel::notMeasuredDb;
    double aliasPeakDb = TrSentinel::notMeasuredDb;    // strongest harmonic folded back from above Nyquist
    int aliasPeakBin = 0;                              // 0: no harmonic up to the 64th folds back
    double aliasProminenceDb = 0.0;                    // above the median of the noise around it
    double spurDb = TrSentinel::notMeasuredDb;         // strongest other line standing out of the noise (hum, idle tones)
    double spurHz = 0.0;
    double dcDb = TrSentinel::notMeasuredDb;
    double noiseFloorDb = TrSentinel::notMeasuredDb;
    double truePeakDb = TrSentinel::notMeasuredDb;     // dBTP, absolute
    double cpuNsPerSample = 0.0;
    int latencySamples = 0;
    double repeatDeltaDb = TrSentinel::notMeasured;
    double sidebandDb = TrSentinel::notMeasuredDb;     // from 2 bins to 32 Hz either side of the tone, re fundamental
    bool timeVariant = false;                          // the repeat test failed, or sidebands above -60 dB
    juce::String channelName = "left";
};

/** Whether the strongest folded harmonic is a real line: 12 dB above the noise floor and above
    the noise around it. Below that it is noise that happens to sit on a folded bin. */
inline bool isRealAlias (const TrHarmonicsResult& r)
{
    return r.aliasPeakBin > 0 && r.aliasPeakDb > r.noiseFloorDb + 12.0 && r.aliasProminenceDb > 12.0;
}

/** THD, THD+N, alias and H2..H5 per point of a sweep over frequency or level. All per-point
    vectors have the same length: the number of points completed. */
struct TrThdSweepResult : TrSlotRecord
{
    double sampleRate = 48000.0;
    int fftSize = 16384;
    bool vsLevel = false;
    double levelDb = -6.0;
    double frequencyHz = 1000.0;
    std::vector<float> x;                              // actual frequency in Hz, or level in dBFS
    std::vector<float> thdDb;                          // NaN when silent or H2 lies above Nyquist
    std::vector<float> thdnDb;                         // NaN when silent
    std::vector<float> aliasDb;                        // strongest folded harmonic; NaN when silent or none folds
    std::array<std::vector<float>, 4> harmonicDb;      // H2, H3, H4, H5
    juce::String channelName = "left";
};

/** SMPTE or CCIF two-tone intermodulation. */
struct TrImdResult : TrSlotRecord
{
    juce::String standard;                             // "SMPTE" or "CCIF"
    double sampleRate = 48000.0;
    int fftSize = 65536;
    double f1Hz = 60.0;
    double f2Hz = 7000.0;
    double levelDb = -6.0;
    std::vector<float> spectrumDb;                     // dB re the stronger output tone
    double binHz = 0.0;
    double imdDb = TrSentinel::notMeasuredDb;
    double imdPercent = 0.0;
    double d2Db = TrSentinel::notMeasuredDb;           // CCIF only
    double d3Db = TrSentinel::notMeasuredDb;           // CCIF only
    double noiseFloorDb = TrSentinel::notMeasuredDb;
    int latencySamples = 0;
    juce::String channelName = "left";
};
