#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** How reports and verdicts write numbers. One place, so every figure a user compares reads
    the same everywhere. */
namespace TrNumberFormat
{
    /** As a standard output stream writes a double: at most 6 significant digits, no trailing
        zeros (48000, 999.756, 1e-07); zero is never written with a sign. */
    juce::String plain (double value);

    /** Exactly `decimals` digits after the point (1..6), rounded half away from zero, with a
        minus sign before a negative value unless it rounds to zero ("0.00", never "-0.00"). Non-finite
        values and magnitudes of 1e20 or more fall back to the stream's fixed notation ("nan",
        "inf"). Zero decimals means plain. */
    juce::String fixed (double value, int decimals);

    /** Right-aligned in a field of `width` characters; longer text is kept whole. */
    juce::String padded (const juce::String& text, int width);

    /** Rounded half away from zero to a whole number ("-6", "480"). */
    juce::String whole (double value);

    /** A THD or IMD percentage: "< 0.001 %", three decimals below 1, two from 1 upwards. */
    juce::String percent (double value);

    /** The whole text read as a finite decimal number ("-6", "0.25", "1e3"), or nothing when
        anything else stands before or after it. */
    std::optional<double> read (const juce::String& text);
}
