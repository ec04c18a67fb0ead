#pragma once

#include <vector>

/** The static gain curve of a dynamics processor, fitted by least squares to measured steps of
    gain (output minus input, dB) against detector level (dBFS). Two soft-knee shapes are tried:
    a compressor, which reduces the gain above its threshold, and an expander or gate, which
    reduces it below; each with threshold T, knee width W (a quadratic joint centred on T), the
    slope of the reduction and a make-up gain (the gain where nothing is reduced). */
namespace TrStaticCurve
{
    enum class Shape
    {
        linear,     // the gain does not change with level (within 1 dB)
        compressor, // reduction above the threshold: ratio >= 1
        expander,   // reduction below the threshold: ratio < 1 (1:1/ratio)
        gate,       // the lowest steps are muted (80 dB or more below the others)
        irregular   // the gain changes with level, but no shape follows it within 1 dB RMS, or
                    // only one reducing by less than 0.05 dB per dB
    };

    /** "linear", "compressor", "expander", "gate" or "irregular". */
    const char* shapeName (Shape shape);

    struct Fit
    {
        Shape shape = Shape::linear;
        double thresholdDb = 0.0;
        double ratio = 1.0;
        double kneeDb = 0.0;
        double makeupDb = 0.0;
        double rmsErrorDb = 0.0; // of the steps from the fitted curve (for irregular: from their median gain)
        double spanDb = 0.0; // largest minus smallest measured gain
    };

    inline constexpr double largestRatio = 1000.0;  // a limiter
    inline constexpr double smallestRatio = 0.01;   // the steepest expander (1:100), also a gate's

    /** Fits the steps; levels and gains must have the same length, at least 5 steps. */
    Fit fit (const std::vector<double>& levelDb, const std::vector<double>& gainDb);
}
