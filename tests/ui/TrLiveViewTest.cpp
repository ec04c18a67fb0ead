#include "ui/TrLiveView.h"

#include <gtest/gtest.h>

TEST (LiveView, EachTabAsksForItsOwnAnalysisWithItsChips)
{
    using Mode = TrLiveSettings::Mode;
    TrViewState state;
    state.chips.sampleRate = 96000.0;
    state.chips.channel = TrChannelMode::stereo;
    state.chips.curveLevelDb = -18.0;
    state.chips.harmonicsFrequencyHz = 100.0;
    state.chips.harmonicsLevelDb = -3.0;
    state.chips.dynamics.startDb = -50.0;
    state.chips.dynamics.endDb = 0.0;
    state.chips.nullSignalFile = "/music/loop.wav";

    const struct
    {
        TrTab tab;
        int harmonicsMode, dynamicsView;
        Mode mode;
        double level;
    } cases[] {
        { TrTab::curve, 0, 0, Mode::curve, -18.0 },
        { TrTab::harmonics, 0, 0, Mode::harmonics, -3.0 },
        { TrTab::harmonics, 1, 0, Mode::off, -3.0 },    // THD sweeps and IMD have no live analysis
        { TrTab::harmonics, 3, 0, Mode::off, -3.0 },
        { TrTab::dynamics, 0, 0, Mode::dynamics, -3.0 },
        { TrTab::dynamics, 0, 1, Mode::off, -3.0 },     // attack/release is offline only
        { TrTab::scope, 0, 0, Mode::scope, -3.0 },
        { TrTab::nullAb, 0, 0, Mode::nullTest, -3.0 },
        { TrTab::perf, 0, 0, Mode::off, -3.0 },
        { TrTab::checks, 0, 0, Mode::off, -3.0 },
    };
    for (const auto& c : cases)
    {
        state.tab = c.tab;
        state.chips.harmonicsMode = c.harmonicsMode;
        state.chips.dynamicsView = c.dynamicsView;
        const auto s = TrLiveView::settingsFor (state);
        EXPECT_EQ (s.mode, c.mode) << tabName (c.tab) << " " << c.harmonicsMode << " " << c.dynamicsView;
        EXPECT_EQ (s.levelDb, c.level) << tabName (c.tab);
        EXPECT_EQ (s.sampleRate, 96000.0);
        EXPECT_EQ (s.channel, TrChannelMode::left) << "stereo reads as left";
        EXPECT_EQ (s.frequencyHz, 100.0);
    }
    state.tab = TrTab::dynamics;
    state.chips.dynamicsView = 0;
    EXPECT_EQ (TrLiveView::settingsFor (state).sweepLowDb, -50.0);
    EXPECT_EQ (TrLiveView::settingsFor (state).sweepHighDb, 0.0);
    state.tab = TrTab::nullAb;
    EXPECT_EQ (TrLiveView::settingsFor (state).filePath, "/music/loop.wav");
}

TEST (LiveGradeHold, ANewGradeShowsOnTheFifthFrameThatComputesItAndTextIsNeverHeld)
{
    using G = TrVerdict::Grade;
    TrGradeHold hold;
    const auto rows = [] (G grade, const char* text) { return std::vector<TrVerdict::SlotVerdict> { { 0, { grade, text, {} } } }; };

    for (int frame = 1; frame <= 4; ++frame)
    {
        hold.advance (rows (G::bad, "Clips"));
        EXPECT_EQ (hold.apply (rows (G::bad, "Clips"))[0].verdict.grade, G::none) << frame;
    }
    hold.advance (rows (G::bad, "Clips"));
    EXPECT_EQ (hold.apply (rows (G::bad, "Clips"))[0].verdict.grade, G::bad);

    // A flicker to another grade for fewer than five frames changes nothing.
    for (int frame = 1; frame <= 3; ++frame)
        hold.advance (rows (G::good, "Clean"));
    hold.advance (rows (G::bad, "Clips"));
    const auto shown = hold.apply (rows (G::good, "Clean"));
    EXPECT_EQ (shown[0].verdict.grade, G::bad);
    EXPECT_EQ (shown[0].verdict.text, "Clean") << "only the grade is held";

    // The comparison row (-1) and slot A share a key, as they never show together.
    hold.advance ({ { -1, { G::warn, "Close", {} } } });
    EXPECT_EQ (hold.apply ({ { -1, { G::warn, "Close", {} } } })[0].verdict.grade, G::bad);
}
