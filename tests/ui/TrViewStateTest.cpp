#include "ui/TrAnalyzerTabs.h"
#include "ui/TrViewState.h"

#include <gtest/gtest.h>

namespace
{
template <typename Record>
Record measuredOn (int slot, const juce::String& plugin)
{
    Record r;
    r.slotIndex = slot;
    r.pluginName = plugin;
    return r;
}

/** Slot A holds "EQ", slot B "Comp": one result of each kind per slot, and their null test. */
TrResultStores storesFor (const juce::String& a, const juce::String& b)
{
    TrResultStores s;
    for (const auto& [slot, name] : { std::pair { 0, a }, std::pair { 1, b } })
    {
        s.harmonics.push_back (measuredOn<TrHarmonicsResult> (slot, name));
        s.thdSweeps.push_back (measuredOn<TrThdSweepResult> (slot, name));
        s.imd.push_back (measuredOn<TrImdResult> (slot, name));
        s.curves.push_back (measuredOn<TrCurveResult> (slot, name));
        s.dynamics.push_back (measuredOn<TrDynamicsResult> (slot, name));
        s.perf.push_back (measuredOn<TrPerfResult> (slot, name));
        s.checks.push_back (measuredOn<TrChecksResult> (slot, name));
    }
    TrNullResult n;
    n.nameA = a;
    n.nameB = b;
    s.nulls.push_back (n);
    return s;
}

/** The slots whose results are left in every single-slot store, e.g. "A B", and "null" when the
    null test is kept. */
juce::String kept (const TrResultStores& s)
{
    juce::StringArray parts;
    for (int slot = 0; slot < 2; ++slot)
    {
        const auto in = [slot] (const auto& records) {
            return std::any_of (records.begin(), records.end(), [slot] (const auto& r) { return r.slotIndex == slot; });
        };
        const auto all = in (s.harmonics) && in (s.thdSweeps) && in (s.imd) && in (s.curves) && in (s.dynamics) && in (s.perf) && in (s.checks);
        const auto any = in (s.harmonics) || in (s.thdSweeps) || in (s.imd) || in (s.curves) || in (s.dynamics) || in (s.perf) || in (s.checks);
        if (all)
            parts.add (slot == 0 ? "A" : "B");
        else if (any)
            parts.add ("part of " + juce::String (slot == 0 ? "A" : "B"));
    }
    if (! s.nulls.empty())
        parts.add ("null");
    return parts.joinIntoString (" ");
}
}

TEST (ViewState, ResultsStayOnlyWhileTheirPluginIsStillInItsSlot)
{
    const struct
    {
        const char* label;
        std::array<juce::String, 2> now;
        const char* kept;
    } cases[] {
        { "nothing changed", { "EQ", "Comp" }, "A B null" },
        { "a different plugin in B", { "EQ", "Limiter" }, "A" },
        { "B emptied", { "EQ", "" }, "A" },
        { "A emptied", { "", "Comp" }, "B" },
        { "the two swapped", { "Comp", "EQ" }, "" },
        { "both emptied", { "", "" }, "" },
    };

    for (const auto& c : cases)
    {
        auto stores = storesFor ("EQ", "Comp");
        dropStaleResults (stores, c.now);
        EXPECT_EQ (kept (stores), c.kept) << c.label;
    }

    auto stray = storesFor ("EQ", "Comp");
    stray.curves.push_back (measuredOn<TrCurveResult> (2, "EQ"));
    stray.curves.push_back (measuredOn<TrCurveResult> (-1, "EQ"));
    dropStaleResults (stray, { "EQ", "Comp" });
    EXPECT_EQ (stray.curves.size(), 2u) << "a result of a slot that does not exist goes";
}

TEST (ViewState, HarmonicsHasResultsOnlyForTheChosenModesKind)
{
    TrViewState state;
    state.tab = TrTab::harmonics;
    auto sweepVsLevel = measuredOn<TrThdSweepResult> (0, "Sat");
    sweepVsLevel.vsLevel = true;
    auto ccif = measuredOn<TrImdResult> (0, "Sat");
    ccif.standard = "CCIF";
    state.stores.thdSweeps.push_back (sweepVsLevel);
    state.stores.imd.push_back (ccif);

    const bool expected[] { false, false, true, false, true };
    for (int mode = 0; mode < 5; ++mode)
    {
        state.chips.harmonicsMode = mode;
        EXPECT_EQ (tabHasResults (state), expected[mode]) << "mode " << mode;
    }

    state.tab = TrTab::curve;
    EXPECT_FALSE (tabHasResults (state));
    state.stores.curves.push_back (measuredOn<TrCurveResult> (0, "Sat"));
    EXPECT_TRUE (tabHasResults (state));
}

TEST (ViewState, EveryRailEntryHasItsNameSubtitleAndExplanation)
{
    const char* const subtitles[] { "tone shape", "distortion + junk", "compression", "the waveform", "compare A vs B", "CPU cost", "honesty tests" };
    const char* const titles[] { "CURVE - frequency response", "HARMONICS - distortion", "DYNAMICS - compression behavior",
                                 "SCOPE - oscilloscope", "NULL / AB - are they really different?", "PERF - processor cost",
                                 "CHECKS - is the plugin honest?" };
    for (int i = 0; i < trTabCount; ++i)
    {
        const auto tab = static_cast<TrTab> (i);
        EXPECT_EQ (analyzerTabs()[static_cast<size_t> (i)].name, tabName (tab));
        EXPECT_EQ (analyzerTabs()[static_cast<size_t> (i)].subtitle, subtitles[i]);
        EXPECT_EQ (railTooltip (tab).title, titles[i]);
        EXPECT_GT (railTooltip (tab).body.length(), 100) << titles[i];
    }
}
