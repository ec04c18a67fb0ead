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

    /** The minimum phase in radians of each bin 0..n/2 of a magnitude response, by the real
        cepstrum: what a causal filter with exactly this magnitude would do to the phase. Levels
        below floor x the largest magnitude count as that floor. */
    std::vector<double> minimumPhase (const Spectrum& transfer, int n, double floor = 1e-5);

    /** Where a response begins and which way it points. */
    struct Timing
    {
        double latencySamples = 0.0; // the delay a host must compensate
        bool clear = false;          // a coherent response stands out of the measurement
        bool beyondReach = false;    // it stands out, but later than the largest lag searched
        bool inverted = false;       // the polarity where the plugin passes most signal is flipped
        bool linearPhase = false;    // the response is symmetric about its peak
    };

    /** The delay of a linear-phase response is its centre (its peak). Any other response is split
        into its minimum-phase part (which starts at once) and an all-pass remainder; the delay is
        where that remainder peaks, found as the peak of the response correlated with its own
        minimum-phase version, weighted by |H|^2. So a minimum-phase filter reads 0, a hidden
        delay in front of one reads as that delay, and the polarity is the sign of that peak:
        decided where the plugin passes most signal, inverted only for a flipped passband.
        The peak is searched over lags 0..largestLag; a response whose strongest peak lies
        outside them is beyondReach, and one whose peak holds less than a tenth of the
        response's energy is not clear (silence, noise, or output unrelated to the input). */
    Timing timing (const Spectrum& transfer, int n, int largestLag);
}
