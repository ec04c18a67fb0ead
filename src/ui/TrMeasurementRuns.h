#pragma once

#include "TrViewState.h"
#include "dsp/TrRender.h"
#include "hosting/TrSlotManager.h"

#include <atomic>

/** What MEASURE and CHECKUP measure: a job for the measurement engine built from the active tab
    and its chip settings, and how a finished job's results replace what the tab shows. A job
    reads the slots and writes only into the pending stores it is given. */
namespace TrMeasurementRuns
{
/** The channels a run measures: left then right for stereo, else the working mode. */
std::vector<TrChannelMode> channelsFor (TrChannelMode working);

/** The sweep levels of the multi-level CURVE run, quiet to loud. */
inline constexpr double multiLevels[] { -24.0, -12.0, -6.0, 0.0 };

/** Measures the state's tab (and harmonics mode) with its chip settings on each loaded slot, A
    then B, per channel (CURVE per level, then channel); NULL / AB once per channel on both;
    PERF once per slot. Every result is appended to pending, failed ones too; it stops before the
    next run once cancel says so. Nothing is measured on SCOPE. */
std::function<void()> jobFor (const TrViewState& state, TrSlotManager& slots, TrResultStores& pending,
                              std::atomic<float>* progress, TrCancel cancel);

/** Moves a finished run of the tab into the visible stores: a run replaces its kind's results,
    except that THD sweeps replace only those of the same axis and IMD only those of the same
    standard. The tab then shows precise data, not live. */
void publish (TrTab tab, int harmonicsMode, TrResultStores& pending, TrResultStores& visible);

/** The checkup: per loaded slot the single tone (the harmonics tab's frequency and level), the
    response at -12 dBFS with repeat, and the checks, all on the left channel; progress is set
    per stage. */
std::function<void()> checkupJob (const TrViewState& state, TrSlotManager& slots, TrResultStores& pending,
                                  std::atomic<float>* progress, TrCancel cancel);

/** Moves a finished checkup's single tones, responses and checks into the visible stores. */
void publishCheckup (TrResultStores& pending, TrResultStores& visible);
}
