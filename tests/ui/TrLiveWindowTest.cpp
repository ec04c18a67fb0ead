#include "TrFixtureSlot.h"
#include "TrScreens.h"
#include "TrWindowHarness.h"
#include "ui/TrReadoutRows.h"

#include <gtest/gtest.h>

namespace
{
using TrTest::Bench;
using TrTest::pumpMessages;

/** Pumps the window until the test holds; false after the limit. */
bool within (int limitMs, const std::function<bool()>& holds)
{
    for (int waited = 0; waited <= limitMs; waited += 25)
    {
        if (holds())
            return true;
        pumpMessages (25);
    }
    return false;
}

double liveGainAt1k (TrTest::Window& w, int slot)
{
    for (const auto& r : w.main().view.stores.curves)
        if (r.slotIndex == slot)
            return r.gainAt1kDb;
    return -999.0;
}

juce::String verdictTexts (TrTest::Window& w)
{
    juce::StringArray texts;
    for (const auto& v : buildVerdictRows (w.main().view))
        texts.add (v.verdict.text);
    return texts.joinIntoString (" | ");
}
}

TEST (LiveWindow, LoadingOnAnEmptyTabGoesLiveAndTheChartFollowsTheKnobs)
{
    Bench w;
    ASSERT_TRUE (w.main().isLive()) << "CURVE was empty when the plugins came";
    ASSERT_TRUE (within (2000, [&] { return w.main().view.stores.curves.size() == 2; }));
    EXPECT_TRUE (w.main().view.stores.curvesLive);
    EXPECT_TRUE (w.main().chartView.isVisible());
    EXPECT_NEAR (liveGainAt1k (w, 1), 0.0, 0.1) << "the wire in B";

    // A knob turned in B: the chart has it within half a second.
    TrTest::setParameters (*w.slot (1).instance, { "Mode=Gain", "Gain=6" });
    EXPECT_TRUE (within (500, [&] { return std::abs (liveGainAt1k (w, 1) - 6.0) < 0.1; })) << liveGainAt1k (w, 1);
    TrTest::keepForReview (w.snapshot(), "live-curve");

    // MEASURE leaves live mode, and the precise result stays on screen.
    w.measure();
    EXPECT_FALSE (w.main().isLive());
    ASSERT_TRUE (w.finished());
    pumpMessages (300);
    EXPECT_FALSE (w.main().view.stores.curvesLive);
    EXPECT_FALSE (w.main().isLive()) << "a tab with results does not go live by itself";
    EXPECT_FALSE (w.main().liveEngine.isStreaming());

    // LIVE by hand, and off again.
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_TRUE (w.main().isLive());
    EXPECT_TRUE (within (1000, [&] { return w.main().view.stores.curvesLive && w.main().view.stores.curves.size() == 2; }));
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_FALSE (w.main().isLive());
    EXPECT_TRUE (within (100, [&] { return w.main().liveEngine.curveResults().empty(); }));
}

TEST (LiveWindow, ScopeIsAlwaysLiveAndTheOfflineTabsNeverAre)
{
    Bench w;
    w.measure(); // CURVE gets a precise result, which leaves live mode
    ASSERT_TRUE (w.finished());
    ASSERT_FALSE (w.main().isLive());

    w.select (TrTab::perf);
    EXPECT_FALSE (w.main().isLive()) << "PERF is offline only";
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_FALSE (w.main().isLive());

    w.select (TrTab::scope);
    EXPECT_TRUE (w.main().isLive());
    ASSERT_TRUE (within (2000, [&] { return w.main().view.stores.scope.size() == 2; }));
    const auto& wire = w.main().view.stores.scope[1];
    ASSERT_FALSE (wire.outputWave.empty());
    for (size_t i = 0; i < wire.outputWave.size(); ++i)
        ASSERT_NEAR (wire.outputWave[i], wire.inputWave[i], 1e-5);
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_TRUE (w.main().isLive()) << "LIVE does nothing on SCOPE";
    TrTest::keepForReview (w.snapshot(), "live-scope");

    // The live null of two identical plugins.
    TrTest::setParameters (*w.slot (0).instance, { "Mode=Wire" });
    w.select (TrTab::nullAb);
    EXPECT_TRUE (w.main().isLive()) << "live follows the tab";
    EXPECT_TRUE (within (3000, [&] { return verdictTexts (w).startsWith ("Identical"); })) << verdictTexts (w);
    EXPECT_TRUE (w.main().view.stores.nullsLive);
}

TEST (LiveWindow, LiveWaitsForAMeasurementAndLeavesTheAttackReleaseView)
{
    Bench w;
    w.measure();
    ASSERT_TRUE (w.finished());
    w.select (TrTab::dynamics);
    ASSERT_TRUE (w.main().isLive()) << "DYNAMICS was empty";

    // The attack/release view has no live preview.
    w.click (w.chip (2)); // VIEW
    EXPECT_EQ (w.main().view.chips.dynamicsView, 1) << w.chips();
    EXPECT_FALSE (w.main().isLive());

    // LIVE while a measurement runs is refused with a word, not taken.
    TrTest::setParameters (*w.slot (1).instance, { "Mode=Per call" });
    w.select (TrTab::perf);
    w.measure();
    ASSERT_TRUE (w.main().engine.isBusy());
    w.main().setLiveMode (true);
    EXPECT_EQ (w.panelTitle(), "LIVE");
    EXPECT_FALSE (w.main().isLive());
    EXPECT_FALSE (w.main().liveEngine.isStreaming());
    w.closePanels();
    w.measure(); // cancels
    ASSERT_TRUE (w.finished());
}
