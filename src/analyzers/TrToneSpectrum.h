#pragma once

#include <vector>

/** The coherent, unwindowed spectrum analysis shared by the harmonics measurements: tones sit
    exactly on FFT bins, so a tone and each of its harmonics are read from single bins. */
namespace TrToneSpectrum
{
    /** The odd bin nearest the frequency: bin 1 below 0, at most n/2 - 1. */
    int snapToOddBin (double hz, int n, double sampleRate);

    /** |X[k]| for k = 0..n/2 of n samples, with bins 0 and n/2 halved so that every bin reads
        amplitude * n / 2. */
    std::vector<double> magnitudes (const double* samples, int n);

    /** Whether bin j lies more than halfWidth bins away from the nearest multiple (at least the
        first) of the fundamental's bin. */
    bool awayFromHarmonics (int j, int bin, int halfWidth);

    /** Exclusion half-width around each harmonic: max(3, 2 % of the fundamental's bin). */
    int exclusionHalfWidth (int bin);

    /** Sum of squares of harmonics 2..10 that lie at or below the last bin. */
    double harmonicPower (const std::vector<double>& x, int bin);

    /** Sum of squares of every bin but DC and the fundamental: THD+N's numerator. */
    double powerBesides (const std::vector<double>& x, int bin);

    /** The element at index count / 2 after partial ordering (the upper median); 0 when empty. */
    double median (std::vector<double> values);

    /** Whether an output level is more than 100 dB below what an unchanged tone of this
        amplitude would give. */
    bool belowMinus100Db (double outputMagnitude, double amplitude, int n);
}
