#include "ui/TrReadoutRows.h"
#include "ui/TrSettingsSummary.h"

#include <gtest/gtest.h>

namespace
{
TrViewState state (TrTab tab)
{
    TrViewState s;
    s.tab = tab;
    s.slots[0].loaded = s.slots[1].loaded = true;
    return s;
}

juce::String valueOf (const ReadoutRow& row, const juce::String& label, int nth = 0)
{
    for (const auto& chip : row.chips)
        if (chip.label == label && nth-- == 0)
            return chip.value;
    return "<none>";
}

const ReadoutChip* chipOf (const ReadoutRow& row, const juce::String& label)
{
    for (const auto& chip : row.chips)
        if (chip.label == label)
            return &chip;
    return nullptr;
}

TrCurveResult curve (int slot, const juce::String& channel, double level)
{
    TrCurveResult r;
    r.slotIndex = slot;
    r.channelName = channel;
    r.levelDb = level;
    r.sampleRate = 48000.0;
    r.freqHz = { 100, 1000, 10000 };
    r.magSmoothedDb = { 0, 0, 0 };
    r.phaseDeg = { 0, 0, 0 };
    return r;
}
}

TEST (ReadoutRows, CurveLatencyLevelsAndRepeat)
{
    auto s = state (TrTab::curve);
    const struct
    {
        double measured;
        juce::String shown;
        bool flagged;
    } cases[] { { 0.03, "0.0 smp", false }, { 4.2, "4.2 smp", true }, { -3.0, "-3.0 smp", false } };
    for (const auto& c : cases)
    {
        auto r = curve (0, "left", -12);
        r.measuredLatency = c.measured;
        s.stores.curves = { r };
        const auto rows = buildReadoutRows (s);
        ASSERT_EQ (rows.size(), 1u);
        const auto* chip = chipOf (rows[0], "MEASURED");
        ASSERT_NE (chip, nullptr);
        EXPECT_EQ (chip->value, c.shown);
        EXPECT_EQ (chip->flag == "mismatch", c.flagged) << c.measured;
    }

    // Four levels of A: one row, LEVELS 4, REPEAT from the first result measured twice.
    s.stores.curves.clear();
    for (const auto level : { -24.0, -12.0, -6.0, 0.0 })
        s.stores.curves.push_back (curve (0, "left", level));
    s.stores.curves[2].repeatabilityDb = 0.0123;
    s.stores.curves[3].repeatabilityDb = 0.5;
    const auto rows = buildReadoutRows (s);
    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (valueOf (rows[0], "LEVELS"), "4");
    EXPECT_EQ (valueOf (rows[0], "REPEAT"), "0.012 dB");
}

TEST (ReadoutRows, LeftRightPhaseCountsTheDelayBetweenTheChannels)
{
    auto s = state (TrTab::curve);
    auto left = curve (0, "left", -12);
    auto right = curve (0, "right", -12);
    s.stores.curves = { left, right };
    auto rows = buildReadoutRows (s);
    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (valueOf (rows[0], "L/R DPHASE"), "0.00 deg");
    EXPECT_EQ (valueOf (rows[0], "L/R DMAX"), "0.000 dB");

    // The right channel 2 samples later: removed separately, the curves agree, yet at 10 kHz the
    // channels are 360 * 10000 * 2 / 48000 = 150 degrees apart.
    s.stores.curves[0].measuredLatency = 10.0;
    s.stores.curves[1].measuredLatency = 12.0;
    rows = buildReadoutRows (s);
    const auto* phase = chipOf (rows[0], "L/R DPHASE");
    ASSERT_NE (phase, nullptr);
    EXPECT_EQ (phase->value, "150.0 deg");
    EXPECT_EQ (phase->flag, "mono risk");
    EXPECT_EQ (phase->status, static_cast<int> (TrVerdict::Grade::warn));

    // Phases a whole turn apart are the same phase.
    s.stores.curves[1].measuredLatency = 10.0;
    s.stores.curves[1].phaseDeg = { 360, 720, -360 };
    EXPECT_EQ (valueOf (buildReadoutRows (s)[0], "L/R DPHASE"), "0.00 deg");
}

TEST (ReadoutRows, HarmonicsValuesAndTheirNotMeasuredForms)
{
    auto s = state (TrTab::harmonics);
    const struct
    {
        double percent;
        const char* shown;
    } percents[] { { 0.0004, "< 0.001 %" }, { 0.25, "0.250 %" }, { 2.5, "2.50 %" } };
    for (const auto& c : percents)
    {
        TrHarmonicsResult r;
        r.thdDb = -50.0;
        r.thdPercent = c.percent;
        s.stores.harmonics = { r };
        EXPECT_EQ (valueOf (buildReadoutRows (s)[0], "THD"), c.shown);
    }

    TrHarmonicsResult r; // nothing measured
    r.thdDb = std::nan ("");
    s.stores.harmonics = { r };
    const auto row = buildReadoutRows (s)[0];
    EXPECT_EQ (valueOf (row, "THD"), "n/a");
    EXPECT_EQ (valueOf (row, "THD", 1), "<none>");
    EXPECT_EQ (valueOf (row, "ALIAS"), "-");
    EXPECT_EQ (valueOf (row, "TP"), "-");
}

TEST (ReadoutRows, SweepsShowTheirWorstFiniteValuesAndOnlyTheModesSweepsCount)
{
    auto s = state (TrTab::harmonics);
    s.chips.harmonicsMode = 2;
    TrThdSweepResult level;
    level.vsLevel = true;
    level.x = { -60, -30, 0 };
    level.thdDb = { -90, -70, -40 };
    level.thdnDb = { std::nanf (""), -60, -80 };
    level.aliasDb = { std::nanf (""), std::nanf (""), std::nanf ("") };
    TrThdSweepResult frequency = level;
    frequency.vsLevel = false;
    frequency.thdDb = { 10, 10, 10 }; // would judge the slot badly
    s.stores.thdSweeps = { frequency, level };

    const auto rows = buildReadoutRows (s);
    ASSERT_EQ (rows.size(), 1u) << "the frequency sweep is not on this chart";
    EXPECT_EQ (valueOf (rows[0], "WORST THD"), "-40.0 dB @ 0 dBFS");
    EXPECT_EQ (valueOf (rows[0], "WORST THD+N"), "-60.0 dB @ -30 dBFS") << "nan ignored";
    EXPECT_EQ (valueOf (rows[0], "WORST ALIAS"), "<none>");
    EXPECT_EQ (valueOf (rows[0], "POINTS"), "3");

    const auto verdicts = buildVerdictRows (s);
    ASSERT_EQ (verdicts.size(), 1u);
    EXPECT_EQ (verdicts[0].verdict.text, TrVerdict::forThdSweep (level).text) << "judged by the sweep on the chart";
}

TEST (ReadoutRows, DynamicsAndPerfFormats)
{
    auto s = state (TrTab::dynamics);
    const struct
    {
        double ratio;
        const char *thresh, *shown, *knee;
    } ratios[] { { 1.03, "-", "1 : 1", "-" }, { 150, "-20.0 dB", "inf : 1", "0.0 dB" }, { 25, "-20.0 dB", "25 : 1", "0.0 dB" }, { 4, "-20.0 dB", "4.0 : 1", "0.0 dB" } };
    for (const auto& c : ratios)
    {
        TrDynamicsResult r;
        r.ratio = c.ratio;
        r.thresholdDb = -20.0;
        s.stores.dynamics = { r };
        const auto row = buildReadoutRows (s)[0];
        EXPECT_EQ (valueOf (row, "THRESH"), c.thresh) << c.ratio;
        EXPECT_EQ (valueOf (row, "RATIO"), c.shown) << c.ratio;
        EXPECT_EQ (valueOf (row, "KNEE"), c.knee) << c.ratio;
        EXPECT_EQ (valueOf (row, "ATTACK"), "-");
    }

    s.tab = TrTab::perf;
    const struct
    {
        double budget;
        const char* shown;
    } budgets[] { { 9.96, "10.0 % @512" }, { 12.3, "12 % @512" } };
    for (const auto& c : budgets)
    {
        TrPerfResult r;
        r.percentRealtimeAt512 = c.budget;
        r.denormalRatio = 5.0;
        s.stores.perf = { r };
        const auto row = buildReadoutRows (s)[0];
        EXPECT_EQ (valueOf (row, "BUDGET"), c.shown);
        EXPECT_EQ (chipOf (row, "DENORM")->flag, "bug");
    }
}

TEST (ReadoutRows, FailedHiddenAndComparisonRows)
{
    auto s = state (TrTab::nullAb);
    TrNullResult failed;
    failed.error = "NULL / AB needs plugins in both slot A and slot B";
    s.stores.nulls = { failed };
    const auto rows = buildReadoutRows (s);
    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (rows[0].slot, -1);
    EXPECT_EQ (rows[0].error, failed.error);
    EXPECT_TRUE (buildVerdictRows (s).empty());

    s.tab = TrTab::checks;
    TrChecksResult a, b;
    b.slotIndex = 1;
    b.error = "aborted";
    s.stores.checks = { a, b };
    EXPECT_EQ (buildReadoutRows (s).size(), 2u);
    auto verdicts = buildVerdictRows (s);
    ASSERT_EQ (verdicts.size(), 2u);
    EXPECT_EQ (verdicts[1].verdict.text, "Measurement failed");

    s.slots[1].visible = false;
    EXPECT_EQ (buildReadoutRows (s).size(), 1u) << "a hidden slot shows no row";
    EXPECT_EQ (buildVerdictRows (s).size(), 1u);
    s.slots[0].loaded = false;
    EXPECT_TRUE (buildReadoutRows (s).empty()) << "nor does an empty one";
}

TEST (ReadoutRows, LabelsHaveTooltipsAndOthersNone)
{
    for (const auto* label : { "VERDICT", "LUFS A", "LUFS B", "GAIN@1K", "L/R DPHASE", "WORST THD+N", "GAIN" })
    {
        const auto tip = readoutTooltip (label);
        EXPECT_TRUE (tip.title.isNotEmpty() && tip.body.isNotEmpty()) << label;
    }
    EXPECT_EQ (readoutTooltip ("LUFS B").title, "Loudness");
    EXPECT_TRUE (readoutTooltip ("").title.isEmpty());
    EXPECT_TRUE (readoutTooltip ("lat").title.isEmpty()) << "exact labels only";
}

TEST (SettingsSummary, DescribesWhatWasMeasuredNotWhatTheChipsNowSay)
{
    EXPECT_EQ (rateLabel (88200), "88.2 kHz");
    EXPECT_EQ (rateLabel (96000), "96 kHz");
    EXPECT_EQ (freqLabel (1000), "1 kHz");
    EXPECT_EQ (freqLabel (2500), "2.5 kHz");
    EXPECT_EQ (freqLabel (500), "500 Hz");

    auto s = state (TrTab::harmonics);
    s.chips.harmonicsFrequencyHz = 5000.0;
    s.chips.sampleRate = 44100.0;
    EXPECT_EQ (settingsSummary (s), "44.1 kHz - left ch - sine 5 kHz @ -6 dBFS - N 65536") << "nothing stored: the chips";

    TrHarmonicsResult r;
    r.sampleRate = 96000.0;
    r.frequencyHz = 1000.0;
    r.levelDb = -12.0;
    r.fftSize = 32768;
    s.stores.harmonics = { r };
    s.chips.spectrumView = 2;
    s.held[static_cast<size_t> (TrTab::harmonics)].held = true;
    EXPECT_EQ (settingsSummary (s), "96 kHz - left ch - sine 1 kHz @ -12 dBFS - N 32768 - mirror view (A up / B down) - vs held ref");

    auto right = r;
    right.channelName = "right";
    s.stores.harmonics.push_back (right);
    EXPECT_TRUE (settingsSummary (s).startsWith ("96 kHz - stereo (L+R) ch"));

    s.tab = TrTab::checks;
    EXPECT_EQ (settingsSummary (s), "44.1 kHz - left ch - bypass null / latency / DC / self-noise - deterministic noise + sine");
}
