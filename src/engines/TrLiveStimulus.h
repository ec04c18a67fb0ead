#pragma once

#include "TrLiveSettings.h"

#include <complex>
#include <cstdint>
#include <vector>

/** The signals the live stream plays, each a pure function of the settings and the sample count
    since the last reset, so that both slots hear the same block. */
namespace TrLiveStimulus
{
/** The 48-bit generator of the pink noise and the multisine phases: s = s * 0x5DEECE66D + 11 mod 2^48. */
struct Random48
{
    std::uint64_t state;
    /** The 32 bits above the lowest 16 of the next state, over 2^32: [0, 1). */
    double next() noexcept;
};

/** Pink noise at about -18 dBFS RMS from three one-pole filters of white noise. */
class PinkNoise
{
public:
    float next() noexcept;

private:
    Random48 random { 0x54524C56 };
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
};

/** The FFT bin of the harmonics tone over 16384 points: odd, 1..8191. */
int harmonicsBin (double frequencyHz, double sampleRate);

/** The scope tone's whole period in samples, for at most 20 Hz below: at least 4. */
int scopePeriod (double frequencyHz, double sampleRate);

/** One period of 4096 samples with every bin from 1 to 2047 at equal magnitude and a random phase,
    peaking at the level; with its spectrum (bins 0..2048 of the stored floats) and magnitudes (bins
    0 and 2048 halved). */
struct Multisine
{
    static constexpr int period = 4096;
    std::vector<float> samples;
    std::vector<std::complex<double>> spectrum;
    std::vector<double> magnitude;

    static Multisine build (double levelDb);
};

/** Fills the block with the mode's stimulus for samples n0, n0 + 1, ... since the reset. Tone phases
    are computed from the whole sample index in double precision, so they never drift. The null
    test's signal (loop or pink noise) is not made here. */
void fill (float* block, int count, std::int64_t n0, const TrLiveSettings& settings, int harmonicsBin, int scopePeriod,
           const Multisine& multisine);
}
