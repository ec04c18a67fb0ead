#pragma once

#include "results/TrHarmonicsRecords.h"

#include <cstdint>

/** Plain-language judgements of measurements: pure functions from a result record to a grade,
    a headline and the numbers behind it. The same result always gives the same verdict. */
namespace TrVerdict
{
    /** Severity order none < good < ok < warn < bad; a stored value outside 1..4 ranks as none. */
    enum class Grade : std::int32_t
    {
        none = 0,
        good = 1,
        ok = 2,
        warn = 3,
        bad = 4
    };

    /** "none", "good", "ok", "warn" or "bad"; any value outside 1..4 is "none". */
    juce::String gradeName (Grade grade);

    /** The grade's place in the severity order (0..4). */
    int severity (Grade grade);

    struct Verdict
    {
        Grade grade = Grade::none;
        juce::String text;    // the headline, never empty in a produced verdict
        juce::String detail;  // the numbers behind it; may be empty
    };

    /** A verdict and what it speaks of: 0 = slot A, 1 = slot B, -1 = A compared with B. */
    struct SlotVerdict
    {
        std::int32_t slot = 0;
        Verdict verdict;
    };

    Verdict forHarmonics (const TrHarmonicsResult& result);
    Verdict forThdSweep (const TrThdSweepResult& result);
    Verdict forImd (const TrImdResult& result);

    /** Formatting and composition shared by every verdict. */
    namespace detail_
    {
        /** The value with one decimal and " dB" ("-72.0 dB"); decimals is always 1. */
        juce::String db (double value, int decimals);

        /** A sweep position: a level rounded to whole dBFS, or a frequency in Hz or kHz. */
        juce::String hzOrDb (float value, bool isLevel);

        /** "< 0.001 %", three decimals below 1 %, two from 1 % upwards. */
        juce::String percent (double value);

        /** The verdict of a measurement that failed: warn, the headline, the error as detail. */
        Verdict failed (const juce::String& error, const juce::String& headline = "Measurement failed");

        /** Raises the grade to at least warn (bad stays bad) and appends the finding to the
            detail after "; "; the headline is never changed. */
        void addWarning (Verdict& verdict, const juce::String& finding);
    }
}
