#pragma once

#include "results/TrChecksRecords.h"

/** The self-noise spectrum: a Hann-windowed 65536-point spectrum of the last silence, reduced to
    the loudest bin of each of up to 512 log-spaced bands from 20 Hz to Nyquist, sine-calibrated. */
void fillNoiseSpectrum (const std::vector<double>& lastSilence, TrChecksResult& r);
