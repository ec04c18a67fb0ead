#include "TrChildProcess.h"
#include "TrFixtureSlot.h"
#include "TrScreens.h"
#include "TrTestPaths.h"
#include "TrWindowHarness.h"
#include "chart/TrChartBuilder.h"
#include "ui/TrAnalyzerTabs.h"
#include "ui/TrReadoutRows.h"

#include <gtest/gtest.h>

namespace
{
using TrTest::pumpMessages;
using TrTest::Bench;
}

TEST (Measuring, MeasureOnEachOfflineTabShowsTheChartRowsAndVerdictsOfItsResults)
{
    Bench w;
    ASSERT_TRUE (w.slot (0).isLoaded() && w.slot (1).isLoaded());

    for (const auto tab : { TrTab::curve, TrTab::harmonics, TrTab::dynamics, TrTab::nullAb, TrTab::perf, TrTab::checks })
    {
        const auto name = tabName (tab);
        w.select (tab);
        EXPECT_FALSE (w.main().chartView.isVisible()) << name << ": empty before";
        w.measure();
        ASSERT_TRUE (w.finished()) << name;

        const auto& view = w.main().view;
        EXPECT_TRUE (tabHasResults (view)) << name;
        EXPECT_TRUE (w.main().chartView.isVisible()) << name;

        // What the window shows is what the builders make of the stored results.
        const auto expected = rebuildChart (view);
        EXPECT_EQ (w.main().chartView.getModel().traces.size(), expected.traces.size()) << name;
        const auto rows = buildReadoutRows (view);
        const auto verdicts = buildVerdictRows (view);
        EXPECT_EQ (verdicts.size(), tab == TrTab::nullAb ? 1u : 2u) << name;
        for (const auto& row : rows)
            EXPECT_TRUE (row.error.isEmpty()) << name << ": " << row.error;

        // Painted: the strip and the band leave their hover areas, which explain themselves.
        TrTest::keepForReview (w.snapshot(), "measured-" + name.toLowerCase().removeCharacters (" /"));
        TrTest::moveThroughWindow (w.main(), w.main().getLayout().verdictBand.getCentre().toFloat());
        pumpMessages (100);
        EXPECT_EQ (w.main().getHoverTip().key, "readoutVERDICT") << name;
    }
}

TEST (Measuring, CancelStopsALongJobAndKeepsWhatWasShown)
{
    Bench w;
    TrTest::setParameters (*w.slot (1).instance, { "Mode=Per call" }); // still running when cancelled
    w.select (TrTab::curve);
    w.click (w.chip (2)); // multi-level: eight sweeps
    w.measure();
    ASSERT_TRUE (w.main().engine.isBusy());
    pumpMessages (200);
    w.measure(); // now CANCEL
    ASSERT_TRUE (w.finished (10000)) << "a cancelled job ends quickly";
    EXPECT_TRUE (w.main().view.stores.curves.empty()) << "nothing published";
    EXPECT_FALSE (w.main().chartView.isVisible());
}

TEST (Measuring, CheckupOpensItsOverlayWhoseCategoriesLeadToTheirTabs)
{
    Bench w;
    w.click (w.main().getLayout().checkup.getCentre());
    ASSERT_TRUE (w.finished());
    ASSERT_TRUE (w.main().isCheckupShown());
    TrTest::keepForReview (w.snapshot(), "checkup-overlay"); // painting lays out the categories
    const auto targets = w.main().getCheckupTargets();
    ASSERT_EQ (targets.size(), 6u) << "three categories for each of two plugins";
    EXPECT_EQ (targets[0].second, TrTab::harmonics);
    EXPECT_EQ (targets[1].second, TrTab::curve);
    EXPECT_EQ (targets[2].second, TrTab::checks);

    const auto at = targets[2].first.getCentre().toInt();
    w.click (at);
    EXPECT_FALSE (w.main().isCheckupShown());
    EXPECT_EQ (w.main().view.tab, TrTab::checks);
    EXPECT_TRUE (w.main().chartView.isVisible()) << "the checkup's checks are the tab's results";
}

TEST (Measuring, HoldKeepsGreyCopiesAcrossTabSwitches)
{
    Bench w;
    w.select (TrTab::curve);
    w.measure();
    ASSERT_TRUE (w.finished());
    w.click (w.main().getLayout().hold.getCentre());
    ASSERT_TRUE (w.main().view.held[0].held);

    w.select (TrTab::harmonics);
    w.select (TrTab::curve);
    EXPECT_TRUE (w.traces().contains ("HOLD ")) << w.traces();
    EXPECT_TRUE (w.traces().contains (" @ 48 kHz")) << w.traces();

    w.click (w.main().getLayout().hold.getCentre());
    EXPECT_FALSE (w.main().view.held[0].held);
    EXPECT_FALSE (w.traces().contains ("HOLD ")) << w.traces();
}

TEST (Measuring, ClosingTheWindowDuringAJobStopsItFirst)
{
    for (const auto tab : { TrTab::curve, TrTab::perf })
    {
        Bench w;
        TrTest::setParameters (*w.slot (1).instance, { "Mode=Per call" }); // slow enough to still run when closed
        w.select (tab);
        if (tab == TrTab::curve)
            w.click (w.chip (2)); // multi-level: eight sweeps
        w.measure();
        pumpMessages (100);
        ASSERT_TRUE (w.main().engine.isBusy()) << tabName (tab);
        w.window->storeState(); // the close button: the job ends before any state is read
        EXPECT_FALSE (w.main().engine.isBusy());
        w.window.reset();
    }
}

TEST (MeasuringDeathTest, AJobStuckInAPluginEndsTheProcessInsteadOfHangingTheClose)
{
    EXPECT_EXIT (
        {
            Bench w;
            // The live stream loading started would be the one to hang: it stops, and the
            // plugin forgets the sound it heard.
            w.main().setLiveMode (false);
            pumpMessages (200);
            {
                const juce::ScopedLock sl (w.slot (0).lock);
                w.slot (0).instance->reset();
            }
            TrTest::setParameters (*w.slot (0).instance, { "Mode=Hang" });
            w.measure();
            pumpMessages (500);
            w.window.reset();
        },
        testing::ExitedWithCode (1), "thread \"TESTRIG measurement\" did not stop within 5 s");
}

TEST (Measuring, TheWindowGivesTheVerdictsAndFiguresOfTheMatchingBenchModes)
{
    Bench w;
    const auto a = TrTest::fixture ("TestrigSoftClip").getFullPathName();
    const auto b = TrTest::fixture ("TestrigFixture").getFullPathName();
    const struct
    {
        TrTab tab;
        juce::StringArray bench;
    } cases[] {
        { TrTab::harmonics, { "--bench", a, "--json" } },
        { TrTab::curve, { "--bench-curve", a, "--json" } },
        { TrTab::dynamics, { "--bench-dyn", a, "--runs", "1", "--json" } },
        { TrTab::checks, { "--bench-checks", a, "--json" } },
        { TrTab::nullAb, { "--bench-null", a, b, "--json" } },
    };

    for (const auto& c : cases)
    {
        const auto name = tabName (c.tab);
        w.select (c.tab);
        w.measure();
        ASSERT_TRUE (w.finished()) << name;

        // Slot A's verdict, or the comparison's; its detail carries the figures.
        const auto rows = buildVerdictRows (w.main().view);
        ASSERT_FALSE (rows.empty()) << name;
        const auto& shown = rows.front().verdict;

        const auto report = juce::JSON::parse (TrTest::runTestrig (c.bench).output);
        const auto* verdict = report["verdict"].getDynamicObject();
        ASSERT_NE (verdict, nullptr) << name;
        EXPECT_EQ (shown.text, verdict->getProperty ("text").toString()) << name;
        EXPECT_EQ (shown.detail, verdict->getProperty ("detail").toString()) << name;
    }
}
