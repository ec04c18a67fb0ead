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

    /** What a bin of a coherent tone's spectrum holds. */
    enum class BinKind : char
    {
        noise,    // nothing the tone put there
        tone,     // DC, or the fundamental or one of its two neighbours
        harmonic, // a harmonic below Nyquist or one of its two neighbours
        alias     // where a harmonic above Nyquist folds back, or one of its two neighbours
    };

    /** Harmonics up to this order are followed past Nyquist; beyond it even a hard clipper's
        are more than 36 dB down. */
    inline constexpr int highestOrder = 64;

    /** The kind of each bin 0..n/2 for a tone on `bin`: coherent lines stay on their bins, so
        only their immediate neighbours are kept out of the noise with them. A harmonic k x bin
        above n/2 folds to |((k x bin + n/2) mod n) - n/2|. */
    std::vector<BinKind> binKinds (int bin, int n);

    /** The strongest bin of a kind, or 0 when there is none (bin 0 is never one of them). */
    int strongestOfKind (const std::vector<double>& x, const std::vector<BinKind>& kinds, BinKind kind);

    /** |X[k]| for k = 0..n/2 through a flat-top window, scaled so that a sine of amplitude A
        reads A * n / 2 near its bin whatever its frequency: no scalloping. */
    std::vector<double> flatTopMagnitudes (const double* samples, int n);

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
