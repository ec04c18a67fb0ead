#pragma once

#include "TrViewState.h"
#include "engines/TrLiveEngine.h"
#include "verdicts/TrVerdict.h"

/** Between the window and the live engine: which live analysis a tab asks for, and the copy of
    its latest results into the tab's store. */
namespace TrLiveView
{
/** The live settings of the active tab from its chips: CURVE its level, HARMONICS its tone in the
    single-tone mode, DYNAMICS its level range in the transfer view, SCOPE the harmonics tone,
    NULL / AB its signal file; off for everything else. Stereo reads as left. */
TrLiveSettings settingsFor (const TrViewState& state);

/** Whether LIVE can act on the tab: PERF and CHECKS are offline only. */
bool tabCanGoLive (TrTab tab);

/** Replaces the active tab's store with the engine's latest results of its kind and marks it
    live; false when the tab has no live analysis. */
bool copyResults (const TrLiveEngine& engine, TrViewState& state);
}

/** While live, a verdict's grade (its colour) changes only after it has held for five timer
    frames, so that a value wavering at a limit does not flash; text and detail are never held. */
class TrGradeHold
{
public:
    /** Counts one timer frame of these verdicts. */
    void advance (const std::vector<TrVerdict::SlotVerdict>& rows);

    /** The verdicts with the grades held back. */
    std::vector<TrVerdict::SlotVerdict> apply (std::vector<TrVerdict::SlotVerdict> rows) const;

    static constexpr int framesToChange = 5;

private:
    static size_t keyOf (int slot) { return static_cast<size_t> (slot < 0 ? 0 : slot & 3); }

    std::array<TrVerdict::Grade, 4> shown {}, candidate {};
    std::array<int, 4> count {};
};
