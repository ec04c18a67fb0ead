#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>

using TrVerdict::Grade;

namespace
{
TrHarmonicsResult transparent()
{
    TrHarmonicsResult r;
    r.thdDb = -150.0;
    r.thdPercent = 1e-6;
    r.aliasPeakDb = -170.0;
    r.noiseFloorDb = -180.0;
    r.truePeakDb = -6.0;
    r.dcDb = -200.0;
    return r;
}

TrCurveResult shaped (float spanDb)
{
    TrCurveResult r;
    r.freqHz = { 100.0f, 1000.0f, 10000.0f };
    r.magSmoothedDb = { 0.0f, spanDb, 0.0f };
    return r;
}

TrChecksResult honest()
{
    TrChecksResult r;
    r.bypassFound = true;
    r.bypassNullDb = -150.0;
    r.dcSignalDbfs = r.dcIdleDbfs = r.selfNoiseDbfs = -200.0;
    return r;
}
}

TEST (Checkup, CombinesThePartsIntoOneGradeAndSentence)
{
    auto clipping = transparent();
    clipping.truePeakDb = 0.5;

    auto aliasing = transparent();
    aliasing.aliasPeakBin = 31411;
    aliasing.aliasPeakDb = -40.0;
    aliasing.aliasProminenceDb = 30.0;

    auto dc = honest();
    dc.dcIdleDbfs = -30.0;

    auto failedTone = transparent();
    failedTone.error = "plugin produced non-finite output (NaN/inf)";

    auto failedChecks = honest();
    failedChecks.error = "aborted";

    auto inverted = shaped (0.0f);
    inverted.polarityInverted = true;

    auto heavy = transparent();
    heavy.cpuNsPerSample = 1e9 / 48000.0 * 1.89; // 189 % of real time at 48 kHz

    auto justRealTime = transparent();
    justRealTime.cpuNsPerSample = 1e9 / 48000.0 * 0.99;

    const auto flat = shaped (0.0f);
    const auto coloured = shaped (3.0f);
    const auto clean = transparent();
    const auto fine = honest();

    const struct
    {
        const char* label;
        const TrHarmonicsResult* harmonics;
        const TrCurveResult* curve;
        const TrChecksResult* checks;
        Grade grade;
        juce::String text;
    } cases[] {
        { "nothing measured", nullptr, nullptr, nullptr, Grade::good, "Clean, honest and light - safe on anything" },
        { "all good", &clean, &flat, &fine, Grade::good, "Clean, honest and light - safe on anything" },
        { "shaping curve", &clean, &coloured, &fine, Grade::ok, "Colors the sound on purpose; honest plugin" },
        { "clipping only", &clipping, &flat, &fine, Grade::warn, "Colors the sound on purpose; honest plugin" },
        { "checks text wins over artefacts", &aliasing, &flat, &dc, Grade::bad, "One problem: adds DC offset" },
        { "artefacts", &aliasing, &flat, &fine, Grade::bad, "Adds audible artefacts - use with care" },
        { "a flipped curve speaks for itself", &clean, &inverted, &fine, Grade::bad,
          "Flips the waveform upside-down - cancels the dry signal in parallel chains" },
        { "more than a core", &heavy, &flat, &fine, Grade::bad, "Cannot run in real time - it needs 189 % of one core" },
        { "99 % of a core still runs", &justRealTime, &flat, &fine, Grade::good, "Clean, honest and light - safe on anything" },
        { "failed checks", &clean, &flat, &failedChecks, Grade::warn, "Measurement failed" },
        { "failed tone with honest checks", &failedTone, &coloured, &fine, Grade::warn, "Measurement failed" },
        { "failed tone with a checks problem", &failedTone, &flat, &dc, Grade::warn, "Measurement failed" },
    };

    for (const auto& c : cases)
    {
        const auto checkup = TrVerdict::forCheckup (c.harmonics, c.curve, c.checks);
        EXPECT_EQ (checkup.overall.grade, c.grade) << c.label;
        EXPECT_EQ (checkup.overall.text, c.text) << c.label;
        EXPECT_TRUE (checkup.overall.detail.isEmpty()) << c.label;
    }

    const auto none = TrVerdict::forCheckup (nullptr, nullptr, nullptr);
    for (const auto* part : { &none.harmonics, &none.curve, &none.checks })
    {
        EXPECT_EQ (part->grade, Grade::none);
        EXPECT_EQ (part->text, "not measured");
        EXPECT_TRUE (part->detail.isEmpty());
    }

    const auto parts = TrVerdict::forCheckup (&clean, &coloured, &dc);
    EXPECT_EQ (parts.harmonics.text, "Transparent: adds practically no distortion");
    EXPECT_EQ (parts.curve.text, "Shapes the tone: 3.0 dB of EQ-style coloring");
    EXPECT_EQ (parts.checks.text, "One problem: adds DC offset");
}
