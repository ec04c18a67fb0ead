#include "TrVerdictExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using TrVerdict::Grade;
using TrTest::expectVerdict;

namespace
{
/** A clean result at the numerical floor, changed by each case. */
TrHarmonicsResult cleanTone()
{
    TrHarmonicsResult r;
    r.thdDb = -150.0;
    r.thdPercent = 100.0 * std::pow (10.0, -150.0 / 20.0);
    r.aliasPeakDb = -170.0;
    r.aliasPeakBin = 4001;
    r.aliasProminenceDb = 3.0;
    r.noiseFloorDb = -180.0;
    r.truePeakDb = -6.0;
    r.dcDb = -200.0;
    r.repeatDeltaDb = 0.0;
    return r;
}

void setThd (TrHarmonicsResult& r, double db)
{
    r.thdDb = db;
    r.thdPercent = 100.0 * std::pow (10.0, db / 20.0);
}

}

TEST (HarmonicsVerdict, EachRowAndBoundaryGivesItsSentence)
{
    const juce::String transparent = "Transparent: adds practically no distortion";
    const juce::String clean = "Clean: distortion stays below audible territory";
    const juce::String colors = "Colors the sound with harmonics - character, not a flaw";

    const struct
    {
        const char* label;
        std::function<void (TrHarmonicsResult&)> change;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "failed", [] (auto& r) { r.error = "aborted"; r.truePeakDb = 3.0; r.dcDb = -10.0; }, { Grade::warn, "Measurement failed", "aborted" } },
        { "time-variant", [] (auto& r) { r.timeVariant = true; r.repeatDeltaDb = 0.42; },
          { Grade::warn, "Something inside moves by itself - readings are approximate", "modulation detected (repeat delta 0.42 dB)" } },
        { "time-variant and clipping", [] (auto& r) { r.timeVariant = true; r.repeatDeltaDb = 0.42; r.truePeakDb = 1.2; },
          { Grade::warn, "Something inside moves by itself - readings are approximate",
            "modulation detected (repeat delta 0.42 dB); output peaks 1.20 dBTP - will clip converters" } },
        { "audible aliasing", [] (auto& r) { r.aliasPeakDb = -45.0; r.aliasProminenceDb = 30.0; },
          { Grade::bad, "Adds audible digital junk (aliasing) unrelated to the note", "worst spur -45.0 dB below the tone" } },
        { "audible aliasing with DC", [] (auto& r) { r.aliasPeakDb = -45.0; r.aliasProminenceDb = 30.0; r.dcDb = -41.3; },
          { Grade::bad, "Adds audible digital junk (aliasing) unrelated to the note",
            "worst spur -45.0 dB below the tone; adds DC offset (-41.3 dB)" } },
        { "some aliasing", [] (auto& r) { r.aliasPeakDb = -75.0; r.aliasProminenceDb = 30.0; },
          { Grade::warn, "Some aliasing sneaks in - can get audible on bright sources", "worst spur -75.0 dB" } },
        { "alias -50 only 10 dB above the floor", [] (auto& r) { r.aliasPeakDb = -50.0; r.aliasProminenceDb = 30.0; r.noiseFloorDb = -60.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "alias -95, prominent", [] (auto& r) { r.aliasPeakDb = -95.0; r.aliasProminenceDb = 20.0; r.noiseFloorDb = -130.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "alias not prominent", [] (auto& r) { r.aliasPeakDb = -45.0; r.aliasProminenceDb = 12.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "no harmonic folds back", [] (auto& r) { r.aliasPeakBin = 0; r.aliasPeakDb = -45.0; r.aliasProminenceDb = 30.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "alias at -59.9 dB", [] (auto& r) { r.aliasPeakDb = -59.9; r.aliasProminenceDb = 30.0; },
          { Grade::bad, "Adds audible digital junk (aliasing) unrelated to the note", "worst spur -59.9 dB below the tone" } },
        { "alias at -60 dB", [] (auto& r) { r.aliasPeakDb = -60.0; r.aliasProminenceDb = 30.0; },
          { Grade::warn, "Some aliasing sneaks in - can get audible on bright sources", "worst spur -60.0 dB" } },
        { "alias at -89.9 dB", [] (auto& r) { r.aliasPeakDb = -89.9; r.aliasProminenceDb = 30.0; },
          { Grade::warn, "Some aliasing sneaks in - can get audible on bright sources", "worst spur -89.9 dB" } },
        { "alias at -90 dB", [] (auto& r) { r.aliasPeakDb = -90.0; r.aliasProminenceDb = 30.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "alias 12.1 dB prominent and 12.1 dB over the floor", [] (auto& r) { r.aliasPeakDb = -70.0; r.aliasProminenceDb = 12.1; r.noiseFloorDb = -82.1; },
          { Grade::warn, "Some aliasing sneaks in - can get audible on bright sources", "worst spur -70.0 dB" } },
        { "alias exactly 12 dB over the floor", [] (auto& r) { r.aliasPeakDb = -70.0; r.aliasProminenceDb = 30.0; r.noiseFloorDb = -82.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "a spur that is no alias", [] (auto& r) { r.spurDb = -60.0; r.spurHz = 999.756; },
          { Grade::warn, transparent, "THD < 0.001 %, junk at the noise floor; a line at 1000 Hz, -60.0 dB below the tone, not from it (hum or an idle tone?)" } },
        { "a spur at -90 dB is left alone", [] (auto& r) { r.spurDb = -90.0; r.spurHz = 50.0; },
          { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "no harmonic below Nyquist", [] (auto& r) { r.thdDb = NAN; r.thdPercent = NAN; },
          { Grade::ok, "Tone too high for harmonics - judge this one by aliasing only", "" } },
        { "THD -100", [] (auto& r) { setThd (r, -100.0); }, { Grade::good, transparent, "THD 0.001 %, junk at the noise floor" } },
        { "THD -99.9", [] (auto& r) { setThd (r, -99.9); }, { Grade::good, clean, "THD 0.001 %" } },
        { "THD -60", [] (auto& r) { setThd (r, -60.0); }, { Grade::good, clean, "THD 0.100 %" } },
        { "THD -59.9", [] (auto& r) { setThd (r, -59.9); }, { Grade::ok, colors, "THD 0.101 %, no aliasing on top" } },
        { "THD 0.0009 %", [] (auto& r) { r.thdDb = -50.0; r.thdPercent = 0.0009; }, { Grade::ok, colors, "THD < 0.001 %, no aliasing on top" } },
        { "THD 0.5 %", [] (auto& r) { r.thdDb = -50.0; r.thdPercent = 0.5; }, { Grade::ok, colors, "THD 0.500 %, no aliasing on top" } },
        { "THD 1 %", [] (auto& r) { r.thdDb = -40.0; r.thdPercent = 1.0; }, { Grade::ok, colors, "THD 1.00 %, no aliasing on top" } },
        { "true peak 0.00", [] (auto& r) { r.truePeakDb = 0.0; }, { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "true peak 0.01", [] (auto& r) { r.truePeakDb = 0.01; },
          { Grade::warn, transparent, "THD < 0.001 %, junk at the noise floor; output peaks 0.01 dBTP - will clip converters" } },
        { "clipping and DC", [] (auto& r) { r.truePeakDb = 0.35; r.dcDb = -59.0; },
          { Grade::warn, transparent,
            "THD < 0.001 %, junk at the noise floor; output peaks 0.35 dBTP - will clip converters; adds DC offset (-59.0 dB)" } },
        { "DC at -60 is not flagged", [] (auto& r) { r.dcDb = -60.0; }, { Grade::good, transparent, "THD < 0.001 %, junk at the noise floor" } },
        { "DC on an empty detail", [] (auto& r) { r.thdDb = NAN; r.dcDb = -20.0; },
          { Grade::warn, "Tone too high for harmonics - judge this one by aliasing only", "adds DC offset (-20.0 dB)" } },
    };

    for (const auto& c : cases)
    {
        auto r = cleanTone();
        c.change (r);
        expectVerdict (TrVerdict::forHarmonics (r), c.expected, c.label);
    }
}

TEST (ThdSweepVerdict, TheWorstPointDecides)
{
    const auto sweep = [] (bool vsLevel, std::vector<float> x, std::vector<float> thd, std::vector<float> alias) {
        TrThdSweepResult r;
        r.vsLevel = vsLevel;
        r.x = std::move (x);
        r.thdDb = std::move (thd);
        r.aliasDb = std::move (alias);
        return r;
    };

    const struct
    {
        const char* label;
        TrThdSweepResult result;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "empty", sweep (false, {}, {}, {}), { Grade::ok, "No harmonics in range to judge - check the ALIAS lane", "" } },
        { "all NaN, alias -70", sweep (false, { 100, 200 }, { NAN, NAN }, { -120, -70 }),
          { Grade::ok, "No harmonics in range to judge - check the ALIAS lane", "" } },
        { "alias above -60", sweep (false, { 100, 12500 }, { -90, -90 }, { -120, -55.5f }),
          { Grade::warn, "Aliasing shows up across the sweep - worst at 12.5 kHz", "-55.5 dB below the tone" } },
        { "clean", sweep (false, { 20, 999.6f }, { -95, -80 }, { -150, -150 }),
          { Grade::good, "Stays clean across the whole range", "worst THD -80.0 dB @ 1000 Hz" } },
        { "mostly clean", sweep (false, { 440, 1000 }, { -79.9f, -90 }, { -150, -150 }),
          { Grade::good, "Mostly clean - worst distortion at 440 Hz", "-79.9 dB" } },
        { "first of equal maxima, rounded away from zero", sweep (true, { -10, -3.5f, -2 }, { -70, -30, -30 }, {}),
          { Grade::ok, "Distortion is part of this sound - strongest at -4 dBFS", "-30.0 dB" } },
        { "NaN points never win", sweep (true, { -10, -3 }, { -20, NAN }, {}),
          { Grade::ok, "Distortion is part of this sound - strongest at -10 dBFS", "-20.0 dB" } },
        { "-60 is mostly clean", sweep (false, { 1000 }, { -60 }, { -150 }),
          { Grade::good, "Mostly clean - worst distortion at 1.0 kHz", "-60.0 dB" } },
    };

    for (const auto& c : cases)
        expectVerdict (TrVerdict::forThdSweep (c.result), c.expected, c.label);
}

TEST (ImdVerdict, BoundariesAndTheDetailLine)
{
    const auto imd = [] (double db) {
        TrImdResult r;
        r.imdDb = db;
        r.imdPercent = 100.0 * std::pow (10.0, db / 20.0);
        return r;
    };

    const struct
    {
        double db;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { -120.0, { Grade::good, "No audible tone interaction (IMD)", "IMD < 0.001 % (-120.0 dB)" } },
        { -90.0, { Grade::good, "No audible tone interaction (IMD)", "IMD 0.003 % (-90.0 dB)" } },
        { -70.0, { Grade::good, "Very low intermodulation", "IMD 0.032 % (-70.0 dB)" } },
        { -50.0, { Grade::ok, "Some intermodulation - dense material may smear slightly", "IMD 0.316 % (-50.0 dB)" } },
        { -30.0, { Grade::warn, "Strong intermodulation: complex sources will sound rough", "IMD 3.16 % (-30.0 dB)" } },
        { NAN, { Grade::warn, "Strong intermodulation: complex sources will sound rough", "IMD nan % (nan dB)" } },
    };

    for (const auto& c : cases)
        expectVerdict (TrVerdict::forImd (imd (c.db)), c.expected, juce::String (c.db).toRawUTF8());

    auto failed = imd (-100.0);
    failed.error = "plugin produced non-finite output (NaN/inf)";
    expectVerdict (TrVerdict::forImd (failed), { Grade::warn, "Measurement failed", failed.error }, "failed");
}

TEST (VerdictModel, GradesHaveNamesAndASeverityOrder)
{
    const struct
    {
        int value;
        const char* name;
        int severity;
    } cases[] { { 0, "none", 0 }, { 1, "good", 1 }, { 2, "ok", 2 }, { 3, "warn", 3 }, { 4, "bad", 4 }, { 5, "none", 0 }, { -1, "none", 0 } };

    for (const auto& c : cases)
    {
        EXPECT_EQ (TrVerdict::gradeName (static_cast<Grade> (c.value)), c.name);
        EXPECT_EQ (TrVerdict::severity (static_cast<Grade> (c.value)), c.severity);
    }

    const TrVerdict::Verdict blank;
    EXPECT_EQ (blank.grade, Grade::none);
    EXPECT_TRUE (blank.text.isEmpty() && blank.detail.isEmpty());
}
