#pragma once

#include <algorithm>
#include <cmath>

/** Amplitude ratio in dB, with the amplitude floored at 1e-12. */
inline double amplitudeDb (double amplitude, double reference = 1.0)
{
    return 20.0 * std::log10 (std::max (1e-12, amplitude) / reference);
}

/** Power sum in dB relative to a reference amplitude, with the power floored at 1e-24. */
inline double powerDb (double power, double referenceAmplitude = 1.0)
{
    return 10.0 * std::log10 (std::max (1e-24, power) / (referenceAmplitude * referenceAmplitude));
}

/** The peak amplitude of a sine at a dBFS level (full scale 1.0). */
inline double dbToAmplitude (double db)
{
    return std::pow (10.0, db / 20.0);
}
