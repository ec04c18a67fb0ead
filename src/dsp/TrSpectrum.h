#pragma once

#include <vector>

/** Averaged amplitude spectrum in dB: 8192-point Hann segments with 50 % overlap, 4097 values
    for bins 0..4096, calibrated so that a full-scale sine centred on a bin reads about 0 dB.
    Inputs shorter than 8192 samples give -200 everywhere. */
std::vector<float> welchSpectrumDb (const std::vector<float>& signal);

/** The largest absolute value of the block upsampled 8 times (769-tap windowed sinc). The block
    is taken as one period of a periodic signal, as a coherently sampled tone is, so its edges
    do not ring. */
double oversampledPeak (const std::vector<double>& block);
