#include "TrFixtureSlot.h"
#include "ui/TrMeasurementRuns.h"

#include <gtest/gtest.h>

namespace
{
/** Both slots hold the fixture (a wire unless told otherwise). */
struct TwoFixtures
{
    TwoFixtures()
    {
        EXPECT_EQ (TrTest::loadFixture (slots.slot (0)), "");
        EXPECT_EQ (TrTest::loadFixture (slots.slot (1), { "Mode=Soft clip" }), "");
    }

    TrSlotManager slots;
};

const TrCancel never = [] { return false; };

template <typename Result>
juce::String describe (const std::vector<Result>& results)
{
    juce::StringArray parts;
    for (const auto& r : results)
        parts.add (juce::String (r.slotIndex == 0 ? "A " : "B ") + r.channelName + (r.error.isEmpty() ? "" : " (" + r.error + ")"));
    return parts.joinIntoString (", ");
}
}

TEST (MeasurementRuns, EachSlotIsMeasuredPerChannelAThenB)
{
    TwoFixtures fixtures;
    TrViewState state;
    state.tab = TrTab::harmonics;
    state.chips.channel = TrChannelMode::stereo;
    TrResultStores pending;
    TrMeasurementRuns::jobFor (state, fixtures.slots, pending, nullptr, never)();
    EXPECT_EQ (describe (pending.harmonics), "A left, A right, B left, B right");

    state.tab = TrTab::checks;
    state.chips.channel = TrChannelMode::side;
    TrMeasurementRuns::jobFor (state, fixtures.slots, pending, nullptr, never)();
    EXPECT_EQ (describe (pending.checks), "A side, B side");
}

TEST (MeasurementRuns, AMultiLevelCurveSweepsEachLevelAndOnlyTheFirstRepeats)
{
    TwoFixtures fixtures;
    TrViewState state;
    state.tab = TrTab::curve;
    state.chips.multiLevel = true;
    TrResultStores pending;
    TrMeasurementRuns::jobFor (state, fixtures.slots, pending, nullptr, never)();

    ASSERT_EQ (pending.curves.size(), 8u);
    for (size_t i = 0; i < 8; ++i)
    {
        const auto& r = pending.curves[i];
        EXPECT_EQ (r.slotIndex, i < 4 ? 0 : 1) << i;
        EXPECT_EQ (r.levelDb, TrMeasurementRuns::multiLevels[i % 4]) << i;
        EXPECT_EQ (r.repeatabilityDb >= 0.0, i % 4 == 0) << i << ": only the first level of a slot is repeated";
    }
}

TEST (MeasurementRuns, ACancelledJobStopsBeforeTheNextRun)
{
    TwoFixtures fixtures;
    TrViewState state;
    state.tab = TrTab::harmonics;
    state.chips.channel = TrChannelMode::stereo;
    TrResultStores pending;
    int asked = 0;
    // The test answers "go on" until the first analyzer has started its work, then "stop".
    TrMeasurementRuns::jobFor (state, fixtures.slots, pending, nullptr, [&asked] { return ++asked > 2; })();
    ASSERT_EQ (pending.harmonics.size(), 1u);
    EXPECT_EQ (pending.harmonics[0].error, "aborted");
}

TEST (MeasurementRuns, SweepsAndImdReplaceOnlyTheirOwnKind)
{
    const auto sweep = [] (bool vsLevel, int slot) {
        TrThdSweepResult r;
        r.vsLevel = vsLevel;
        r.slotIndex = slot;
        return r;
    };
    const auto imd = [] (const char* standard, int slot) {
        TrImdResult r;
        r.standard = standard;
        r.slotIndex = slot;
        return r;
    };

    TrResultStores visible, pending;
    visible.thdSweeps = { sweep (false, 0), sweep (true, 0) };
    pending.thdSweeps = { sweep (false, 1) };
    TrMeasurementRuns::publish (TrTab::harmonics, 1, pending, visible);
    ASSERT_EQ (visible.thdSweeps.size(), 2u);
    EXPECT_TRUE (visible.thdSweeps[0].vsLevel) << "THD vs level stays";
    EXPECT_EQ (visible.thdSweeps[1].slotIndex, 1) << "THD vs frequency replaced";
    EXPECT_TRUE (pending.thdSweeps.empty());

    visible.imd = { imd ("SMPTE", 0), imd ("CCIF", 0) };
    pending.imd = { imd ("CCIF", 1) };
    TrMeasurementRuns::publish (TrTab::harmonics, 4, pending, visible);
    ASSERT_EQ (visible.imd.size(), 2u);
    EXPECT_EQ (visible.imd[0].standard, "SMPTE");
    EXPECT_EQ (visible.imd[1].slotIndex, 1);

    visible.curves.resize (3);
    visible.curvesLive = true;
    pending.curves.resize (1);
    TrMeasurementRuns::publish (TrTab::curve, 0, pending, visible);
    EXPECT_EQ (visible.curves.size(), 1u);
    EXPECT_FALSE (visible.curvesLive) << "a precise result replaces live data";
}
