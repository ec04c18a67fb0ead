#pragma once

#include "results/TrChecksRecords.h"
#include "results/TrCurveRecords.h"
#include "results/TrDynamicsRecords.h"
#include "results/TrHarmonicsRecords.h"
#include "results/TrNullRecords.h"
#include "results/TrPerfRecords.h"
#include "results/TrScopeRecords.h"

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

    /** The three part verdicts of one plugin's checkup and their combination. */
    struct Checkup
    {
        Verdict overall;  // its detail is always empty
        Verdict harmonics;
        Verdict curve;
        Verdict checks;
    };

    Verdict forHarmonics (const TrHarmonicsResult& result);
    Verdict forThdSweep (const TrThdSweepResult& result);
    Verdict forImd (const TrImdResult& result);
    Verdict forCurve (const TrCurveResult& result);
    Verdict forNull (const TrNullResult& result);
    Verdict forDynamics (const TrDynamicsResult& result);
    Verdict forPerf (const TrPerfResult& result);
    Verdict forChecks (const TrChecksResult& result);
    Verdict forScope (const TrScopeResult& result);

    /** Combines the parts into one grade and sentence; a null pointer is a part not measured. */
    Checkup forCheckup (const TrHarmonicsResult* harmonics, const TrCurveResult* curve, const TrChecksResult* checks);

    /** Formatting and composition shared by every verdict. */
    namespace detail_
    {
        /** The value with one decimal and " dB" ("-72.0 dB"); decimals is always 1. */
        juce::String db (double value, int decimals);

        /** A sweep position: a level rounded to whole dBFS, or a frequency in Hz or kHz. */
        juce::String hzOrDb (float value, bool isLevel);

        /** "< 0.001 %", three decimals below 1 %, two from 1 % upwards. */
        juce::String percent (double value);

        /** A part of the checkup that was not measured. */
        Verdict notMeasured();

        /** The verdict of a measurement that failed: warn, the headline, the error as detail. */
        Verdict failed (const juce::String& error, const juce::String& headline = "Measurement failed");

        /** Raises the grade to at least warn (bad stays bad) and appends the finding to the
            detail after "; "; the headline is never changed. */
        void addWarning (Verdict& verdict, const juce::String& finding);
    }
}
