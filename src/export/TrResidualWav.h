#pragma once

#include "results/TrNullRecords.h"

#include <juce_core/juce_core.h>

/** The null test's residual (A - matched B) as WAV files: 32-bit float, mono, at the measured
    rate, stored as it is (nothing clipped), and a copy boosted so that its peak lands at -1 dBFS. */
namespace TrResidualWav
{
/** The gain that lifts the peak to -1 dBFS. */
double boostDb (double peakDbfs);

/** Whether the boosted copy is written: a residual already near full scale needs none, and one
    below -160 dBFS is a perfect null whose boost would only blow up rounding noise. */
bool wantsBoostedCopy (double peakDbfs);

/** "_residual_+29dB.wav": the boost rounded to whole dB, halves away from zero. */
juce::String boostedEnding (double boostDb);

/** Writes samples x gain through the safe write, after reading the finished file's header back. */
juce::Result write (const juce::File& target, const std::vector<float>& samples, double sampleRate, float gain);

struct Written
{
    /** The raw file and, when wanted, the boosted one. */
    juce::Array<juce::File> files;
    /** "Could not write " and the path of the file that failed; empty on success. */
    juce::String error;
};

/** stem + "_residual_raw.wav" and, when wanted, the boosted copy, in folder; neither overwrites a file. */
Written exportResidual (const TrNullResult& result, const juce::File& folder, const juce::String& stem);
}
