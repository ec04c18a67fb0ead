#pragma once

#include <vector>

/** Fractional lag of b behind a by circular cross-correlation over a fixed 131072-point
    transform (only the first 131072 samples of each count), searched over lags 0..65535 and
    refined by a parabola through the peak. When inverted is given, it tells whether b is an
    inverted copy of a; when clear is given, whether the peak is a real one: its normalised
    correlation exceeds 0.05, well above the chance maxima of unrelated noise (about 0.025 for
    32768 samples), which is all a delay beyond the search range leaves. Negative lags are never
    reported. */
double xcorrPeak (const std::vector<double>& a, const std::vector<double>& b, bool* inverted = nullptr, bool* clear = nullptr);

/** Index of the largest |c[k]| for k < limit; the first of equal maxima wins, 0 when all are 0. */
int strongestLag (const std::vector<double>& c, int limit);

/** Whether the correlation's magnitude at the peak exceeds 8 times its mean over lags
    0..largestLag: true for a delayed copy, false for unrelated signals. */
bool isClearPeak (const std::vector<double>& correlation, int peak, int largestLag);

/** Integer lag of delayed behind reference, searched in [0, largestLag); 0 when nothing correlates. */
int measureDelay (const std::vector<float>& reference, const std::vector<float>& delayed, int largestLag);

/** Fractional lag of b behind a within +-4 samples; positive means b lags a. Inputs of 8
    samples or fewer give 0. */
double residualDelay (const std::vector<float>& a, const std::vector<float>& b);
