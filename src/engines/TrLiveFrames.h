#pragma once

#include "TrLiveSettings.h"
#include "TrLiveStimulus.h"
#include "TrLiveStream.h"
#include "results/TrCurveRecords.h"
#include "results/TrDynamicsRecords.h"
#include "results/TrHarmonicsRecords.h"
#include "results/TrNullRecords.h"
#include "results/TrScopeRecords.h"

#include <optional>

/** The live engine's per-frame analyses: each turns the latest stretch of a stream into the record
    an offline analyzer gives, leaving out what needs repeated renders. Nothing (no value) when
    the stream has not run long enough, or its window holds a sample that is not a number. */
namespace TrLiveFrames
{
/** The single tone over the last 16384 samples: THD, THD+N, the largest other line, DC, noise. */
std::optional<TrHarmonicsResult> harmonics (const TrLiveStream& stream, int slot, const TrLiveSettings& settings, int bin);

/** The response from the last multisine period: magnitude, phase without the delay, the delay. */
std::optional<TrCurveResult> curve (TrLiveStream& stream, int slot, const TrLiveSettings& settings,
                                    const TrLiveStimulus::Multisine& multisine);

/** Four whole periods of the scope tone in and out, the output shifted by the reported latency. */
std::optional<TrScopeResult> scope (const TrLiveStream& stream, int slot, const TrLiveSettings& settings, int period);

/** Feeds one block of output (already written to the stream) to the level tracker: the output
    peak of each 2 ms window, by the input level of the level triangle it answers. */
void trackDynamics (TrLiveStream& stream, const float* block, int count, const TrLiveSettings& settings);

/** The transfer curve the tracker has seen so far, with threshold, ratio, knee and make-up. */
std::optional<TrDynamicsResult> dynamics (const TrLiveStream& stream, int slot, const TrLiveSettings& settings);

/** What the live null carries from frame to frame: the smoothed match gain and spectra. */
struct NullMemory
{
    double gainDb = 0.0;
    bool gainValid = false;
    std::vector<double> powerA, powerB, powerDiff;
    bool spectraValid = false;
};

/** A against gain-matched, aligned B over 8192 samples. */
std::optional<TrNullResult> null (const TrLiveStream& a, const TrLiveStream& b, const TrLiveSettings& settings,
                                  bool loopedFile, NullMemory& memory);

/** The live null's error when the reported latencies lie too far apart for the ring. */
inline constexpr const char* latencyTooFarApart = "latency delta too large for live null - use MEASURE";
}
