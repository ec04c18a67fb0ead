#include "TrFixtureSlot.h"
#include "TrScreens.h"
#include "TrWindowHarness.h"
#include "ui/TrReadoutRows.h"

#include <gtest/gtest.h>

namespace
{
using TrTest::Bench;
using TrTest::pumpMessages;
using TrTest::pumpUntil;

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
    ASSERT_TRUE (pumpUntil (2000, [&] { return w.main().view.stores.curves.size() == 2; }));
    EXPECT_TRUE (w.main().view.stores.curvesLive);
    EXPECT_TRUE (w.main().chartView.isVisible());
    EXPECT_NEAR (liveGainAt1k (w, 1), 0.0, 0.1) << "the wire in B";

    // A knob turned in B: the chart has it within half a second.
    TrTest::setParameters (*w.slot (1).instance, { "Mode=Gain", "Gain=6" });
    EXPECT_TRUE (pumpUntil (500, [&] { return std::abs (liveGainAt1k (w, 1) - 6.0) < 0.1; })) << liveGainAt1k (w, 1);
    TrTest::keepForReview (w.snapshot(), "live-curve");

    // MEASURE leaves live mode, and the precise result stays on screen.
    w.measure();
    EXPECT_FALSE (w.main().isLive());
    ASSERT_TRUE (w.finished());
    pumpMessages (300);
    EXPECT_FALSE (w.main().view.stores.curvesLive);
    EXPECT_FALSE (w.main().isLive()) << "a tab with results does not go live by itself";
    EXPECT_FALSE (w.main().liveEngine.isStreaming());

    // LIVE by hand, and off again. The plugins are already prepared for it: not prepared again.
    const auto generation = w.slot (0).generation;
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_TRUE (w.main().isLive());
    EXPECT_EQ (w.slot (0).generation, generation);
    EXPECT_TRUE (pumpUntil (1000, [&] { return w.main().view.stores.curvesLive && w.main().view.stores.curves.size() == 2; }));
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_FALSE (w.main().isLive());
    EXPECT_TRUE (pumpUntil (100, [&] { return w.main().liveEngine.curveResults().empty(); }));
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
    ASSERT_TRUE (pumpUntil (2000, [&] { return w.main().view.stores.scope.size() == 2; }));
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
    EXPECT_TRUE (pumpUntil (3000, [&] { return verdictTexts (w).startsWith ("Identical"); })) << verdictTexts (w);
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

TEST (LiveWindow, ThirdPartyAnX42EqualizerIsFollowedLiveOnCurveScopeAndNull)
{
    const juce::File fil4 ("/usr/lib/lv2/fil4.lv2");
    ASSERT_TRUE (fil4.isDirectory()) << "x42-plugins is installed by the test scripts";

    TrTest::Window w (TrTest::Window::fresh, TrTest::welcomed);
    // Loaded on PERF, which never goes live: the LV2 host's safety probe forks, which is best done
    // while no other thread allocates (under the sanitizers the child can stall otherwise).
    w.click (w.main().getLayout().railEntry (static_cast<int> (TrTab::perf)).getCentre());
    for (int slot = 0; slot < 2; ++slot)
    {
        w.card (slot).filesDropped ({ fil4.getFullPathName() }, 5, 5);
        ASSERT_TRUE (w.slot (slot).isLoaded()) << w.panelTitle();
    }
    ASSERT_FALSE (w.main().isLive());

    w.click (w.main().getLayout().railEntry (static_cast<int> (TrTab::curve)).getCentre());
    ASSERT_TRUE (w.main().isLive());
    ASSERT_TRUE (pumpUntil (2000, [&] { return w.main().view.stores.curves.size() == 2; }));
    EXPECT_NEAR (liveGainAt1k (w, 0), 0.0, 0.1);

    juce::AudioProcessorParameter* gain = nullptr;
    for (auto* p : w.slot (0).instance->getParameters())
        if (p->getName (64) == "Gain")
            gain = p;
    ASSERT_NE (gain, nullptr);
    gain->setValueNotifyingHost (0.75f);
    const auto expected = gain->getText (0.75f, 32).getDoubleValue();
    ASSERT_GT (std::abs (expected), 3.0) << gain->getText (0.75f, 32);
    EXPECT_TRUE (pumpUntil (500, [&] { return std::abs (liveGainAt1k (w, 0) - expected) < 0.3; }))
        << "the master gain of " << expected << " dB reads " << liveGainAt1k (w, 0);
    EXPECT_NEAR (liveGainAt1k (w, 1), 0.0, 0.1) << "B untouched";
    TrTest::keepForReview (w.snapshot(), "live-x42-curve");

    w.click (w.main().getLayout().railEntry (static_cast<int> (TrTab::scope)).getCentre());
    ASSERT_TRUE (pumpUntil (2000, [&] { return w.main().view.stores.scope.size() == 2; }));
    const auto& a = w.main().view.stores.scope[0];
    EXPECT_NEAR (a.outputPeakDb - a.inputPeakDb, expected, 0.3) << "the waveform, gain and all";

    gain->setValueNotifyingHost (0.5f);
    w.click (w.main().getLayout().railEntry (static_cast<int> (TrTab::nullAb)).getCentre());
    EXPECT_TRUE (pumpUntil (4000, [&] { return verdictTexts (w).startsWith ("Identical"); })) << verdictTexts (w);
}
