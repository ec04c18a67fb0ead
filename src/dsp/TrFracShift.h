#pragma once

#include <vector>

/** Shifts a sequence by d samples: sample j of the result takes the input's value at time
    j + d, interpolated by a 256-tap windowed sinc centred on that time (Blackman-Harris,
    unity gain at DC): flat to within 0.01 dB up to 0.45 of the sample rate. Samples outside the
    input count as 0. A signal that lags by d is re-aligned by shifting it with +d. Shifts
    smaller than 0.02 samples return the input unchanged. */
std::vector<double> fracShift (const std::vector<double>& x, double d);

/** The same interpolator for float samples (accumulated in double). */
std::vector<float> applyFractionalDelay (const std::vector<float>& x, double d);
