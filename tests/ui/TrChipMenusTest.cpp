#include "ui/TrChipMenus.h"
#include "ui/TrChips.h"

#include <gtest/gtest.h>

namespace
{
TrViewState on (TrTab tab)
{
    TrViewState s;
    s.tab = tab;
    return s;
}

/** "item, [ticked item], ..." */
juce::String describe (const TrChipMenus::Menu& menu)
{
    juce::StringArray items;
    for (const auto& i : menu.items)
        items.add (i.ticked ? "[" + i.text + "]" : i.text);
    return menu.title + ": " + items.joinIntoString (", ");
}

/** The chip's value after choosing the menu item with this text. */
juce::String valueAfterChoosing (TrViewState state, const juce::String& label, const juce::String& itemText)
{
    const auto menu = TrChipMenus::menuFor (label, state);
    if (! menu)
        return "(no menu)";
    for (const auto& item : menu->items)
        if (item.text == itemText && item.choose != nullptr)
            item.choose (state.chips);
    for (const auto& face : TrChips::facesFor (state))
        if (face.label == label)
            return face.value;
    return "(no chip)";
}
}

TEST (ChipMenus, EachMenuListsItsChoicesWithTheCurrentOneTicked)
{
    auto harmonicsSweep = on (TrTab::harmonics);
    harmonicsSweep.chips.harmonicsMode = 2;
    auto dynamicsFixed = on (TrTab::dynamics);
    dynamicsFixed.chips.dynamics.autoBurst = false;
    dynamicsFixed.chips.dynamics.burstHighDb = 0.0;
    auto nullWithFile = on (TrTab::nullAb);
    nullWithFile.chips.nullSignalFile = "/music/loop.wav";

    const struct
    {
        const char* label;
        TrViewState state;
        const char* chip;
        const char* menu;
    } cases[] {
        { "rate", on (TrTab::perf), "RATE", "SAMPLE RATE: 44.1 kHz, [48 kHz], 88.2 kHz, 96 kHz, 176.4 kHz, 192 kHz" },
        { "channel", on (TrTab::checks), "CHANNEL",
          "MEASURED PATH: [left (dual-mono)], right (dual-mono), stereo (L + R, offline), mid  (L+R), side  (L-R, wideners)" },
        { "sweep level", on (TrTab::curve), "LEVEL", "SWEEP LEVEL: -24 dBFS, [-12 dBFS], -6 dBFS, 0 dBFS" },
        { "input level", on (TrTab::scope), "LEVEL", "INPUT LEVEL: -24 dBFS, -12 dBFS, [-6 dBFS], 0 dBFS" },
        { "frequency", harmonicsSweep, "FREQ", "TEST FREQUENCY: 100 Hz, 500 Hz, [1 kHz], 5 kHz, 10 kHz" },
        { "measurement", harmonicsSweep, "MODE",
          "MEASUREMENT: single tone (spectrum), THD vs frequency, [THD vs level], IMD SMPTE (60 Hz + 7 kHz), IMD CCIF (19 + 20 kHz)" },
        { "settle", on (TrTab::dynamics), "SETTLE", "SETTLE PER STEP: 0.2 s, [0.4 s], 1.0 s, 2.0 s" },
        { "burst auto", on (TrTab::dynamics), "BURST", "BURST PEAK LEVEL: [auto (threshold + 12 dB)], -6 dBFS, 0 dBFS, 6 dBFS" },
        { "burst fixed", dynamicsFixed, "BURST", "BURST PEAK LEVEL: auto (threshold + 12 dB), -6 dBFS, [0 dBFS], 6 dBFS" },
        { "signal noise", on (TrTab::nullAb), "SIGNAL", "TEST SIGNAL: [pink noise], choose audio file..." },
        { "signal file", nullWithFile, "SIGNAL", "TEST SIGNAL: pink noise, choose audio file..." },
    };

    for (const auto& c : cases)
    {
        const auto menu = TrChipMenus::menuFor (c.chip, c.state);
        ASSERT_TRUE (menu.has_value()) << c.label;
        EXPECT_EQ (describe (*menu), c.menu) << c.label;
    }
}

TEST (ChipMenus, ChoosingAnItemChangesWhatTheChipShows)
{
    auto multi = on (TrTab::curve);
    multi.chips.multiLevel = true;
    auto imd = on (TrTab::harmonics);
    imd.chips.harmonicsMode = 3;
    auto withFile = on (TrTab::nullAb);
    withFile.chips.nullSignalFile = "/music/loop.wav";

    const struct
    {
        const char* label;
        TrViewState state;
        const char* chip;
        const char* item;
        const char* value;
    } cases[] {
        { "88.2 kHz has its decimal", on (TrTab::curve), "RATE", "88.2 kHz", "88.2 kHz" },
        { "96 kHz has none", on (TrTab::curve), "RATE", "96 kHz", "96 kHz" },
        { "stereo", on (TrTab::curve), "CHANNEL", "stereo (L + R, offline)", "stereo" },
        { "side", on (TrTab::harmonics), "CHANNEL", "side  (L-R, wideners)", "side" },
        { "sweep level", on (TrTab::curve), "LEVEL", "0 dBFS", "0 dBFS" },
        { "multi-level keeps its range", multi, "LEVEL", "0 dBFS", "(no menu)" },
        { "IMD level", imd, "LEVEL", "-24 dBFS", "-24 dBFS" },
        { "scope frequency", on (TrTab::scope), "FREQ", "5 kHz", "5 kHz" },
        { "mode", on (TrTab::harmonics), "MODE", "IMD CCIF (19 + 20 kHz)", "IMD CCIF" },
        { "settle", on (TrTab::dynamics), "SETTLE", "2.0 s", "2.0 s" },
        { "a fixed burst ends auto", on (TrTab::dynamics), "BURST", "6 dBFS", "6 dBFS" },
        { "pink noise drops the file", withFile, "SIGNAL", "pink noise", "pink noise" },
        { "the file item asks instead", on (TrTab::nullAb), "SIGNAL", "choose audio file...", "pink noise" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (valueAfterChoosing (c.state, c.chip, c.item), c.value) << c.label;
}

TEST (ChipMenus, TogglesCycleTheirViewsAndOnlyExistWhereTheTabShowsThem)
{
    const struct
    {
        const char* label;
        TrTab tab;
        int harmonicsMode;
        const char* chip;
        const char* values; // after one, two and three clicks
    } cases[] {
        { "curve view", TrTab::curve, 0, "VIEW", "phase, group delay, magnitude" },
        { "curve mode", TrTab::curve, 0, "MODE", "multi-level, single, multi-level" },
        { "spectrum view", TrTab::harmonics, 0, "VIEW", "spurs only, mirror A|B, spectrum" },
        { "THD view", TrTab::harmonics, 1, "VIEW", "H2..H5, totals, H2..H5" },
        { "dynamics view", TrTab::dynamics, 0, "VIEW", "attack/release, transfer, attack/release" },
        { "sidechain", TrTab::dynamics, 0, "SIDECHAIN", "on, off, on" },
    };

    for (const auto& c : cases)
    {
        auto state = on (c.tab);
        state.chips.harmonicsMode = c.harmonicsMode;
        juce::StringArray seen;
        for (int click = 0; click < 3; ++click)
        {
            EXPECT_TRUE (TrChipMenus::toggle (c.chip, state)) << c.label;
            for (const auto& face : TrChips::facesFor (state))
                if (face.label == c.chip)
                    seen.add (face.value);
        }
        EXPECT_EQ (seen.joinIntoString (", "), c.values) << c.label;
    }

    auto imd = on (TrTab::harmonics);
    imd.chips.harmonicsMode = 3;
    EXPECT_FALSE (TrChipMenus::toggle ("VIEW", imd)) << "IMD has no view chip";
    auto perf = on (TrTab::perf);
    EXPECT_FALSE (TrChipMenus::toggle ("VIEW", perf));
    EXPECT_FALSE (TrChipMenus::menuFor ("CHANNEL", on (TrTab::perf)).has_value()) << "PERF shows only RATE";
    EXPECT_FALSE (TrChipMenus::menuFor ("FREQ", imd).has_value());
}

TEST (ChipMenus, LeavingTheTransferViewDropsLiveDynamicsButKeepsAPreciseResult)
{
    for (const bool live : { true, false })
    {
        auto state = on (TrTab::dynamics);
        state.stores.dynamics.resize (1);
        state.stores.dynamicsLive = live;
        ASSERT_TRUE (TrChipMenus::toggle ("VIEW", state));
        EXPECT_EQ (state.stores.dynamics.empty(), live) << (live ? "live data" : "a precise result");
        EXPECT_FALSE (state.stores.dynamicsLive);
    }
}
