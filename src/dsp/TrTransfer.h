#pragma once

#include <complex>
#include <vector>

/** A plugin's transfer function measured with a known stimulus, and what its response says
    about delay and polarity. Spectra hold bins 0..n/2 of an n-point grid. */
namespace TrTransfer
{
    using Spectrum = std::vector<std::complex<double>>;

    /** Y / X with regularisation, so bins where the stimulus has no energy go to 0 instead of
        blowing up. */
    Spectrum deconvolve (const Spectrum& stimulus, const Spectrum& response);

    /** The energy of a - b relative to the energy of a: how far two measurements of one
        response disagree (0 for identical ones). */
    double relativeChange (const Spectrum& a, const Spectrum& b);

    /** The minimum phase in radians of each bin 0..n/2 of a magnitude response, by the real
        cepstrum: what a causal filter with exactly this magnitude would do to the phase. Levels
        below floor x the largest magnitude count as that floor. */
    std::vector<double> minimumPhase (const Spectrum& transfer, int n, double floor = 1e-5);

    /** Where a response begins and which way it points. */
    struct Timing
    {
        double latencySamples = 0.0; // the delay a host must compensate, within the lags searched
        bool clear = false;          // a coherent response stands out of the measurement
        bool beyondReach = false;    // it stands out, but later than the largest lag searched
        bool inverted = false;       // the polarity where the plugin passes most signal is flipped
        double flippedShare = 0.0;   // the share of the passband, per octave, whose phase is flipped
        bool linearPhase = false;    // the response is symmetric about its peak
        bool spread = false;         // less than half its energy follows within 25 ms of the arrival: a reverb's
        double earliestSamples = 0.0; // the all-pass remainder's earliest group delay over the passband
        double latestSamples = 0.0;   // and its latest: both the latency when nothing disperses the arrival
    };

    /** The delay of a linear-phase response is its centre (its peak). Any other response is split
        into its minimum-phase part (which starts at once) and an all-pass remainder; the delay is
        where that remainder first peaks, found in the response correlated with its own
        minimum-phase version, weighted by |H|^2: the earliest peak at least half as strong as
        the strongest. So a minimum-phase filter reads 0, a hidden delay in front of one reads as
        that delay, and an echo does not hide the direct sound before it.
        The polarity is decided in the audible passband (20 Hz to 20 kHz, within 6 dB of the
        largest magnitude), on the phase left once the delay and the minimum-phase part are
        taken out: inverted when it lies beyond 90 degrees over two thirds of the passband,
        counted per octave. A plain inversion is inverted; filters of any order are not; an
        all-pass whose phase wanders through 180 degrees is not.
        The peak is searched over lags 0..largestLag; a response whose strongest peak lies
        outside them is beyondReach. One whose peak holds less than a tenth of the response's
        energy is not clear (silence, noise, or output unrelated to the input). A response spread
        out over time, as a fully wet reverb's is, has no single arrival that could be called
        latency (its pre-delay is an effect), nor a polarity. An all-pass remainder spreads the
        arrival out over the range of its group delays (earliestSamples to latestSamples), any
        of which a plugin may report as its latency. */
    Timing timing (const Spectrum& transfer, int n, double sampleRate, int largestLag);
}
