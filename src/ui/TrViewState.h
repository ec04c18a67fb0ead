#pragma once

#include "TrAnalyzerTabs.h"
#include "chart/TrChart.h"
#include "results/TrChecksRecords.h"
#include "results/TrCurveRecords.h"
#include "results/TrDynamicsRecords.h"
#include "results/TrHarmonicsRecords.h"
#include "results/TrNullRecords.h"
#include "results/TrPerfRecords.h"
#include "results/TrScopeRecords.h"

#include <array>


/** The visible results of every tab, in the order they were stored. */
struct TrResultStores
{
    std::vector<TrHarmonicsResult> harmonics;
    std::vector<TrThdSweepResult> thdSweeps;
    std::vector<TrImdResult> imd;
    std::vector<TrCurveResult> curves;
    std::vector<TrDynamicsResult> dynamics;
    std::vector<TrScopeResult> scope;
    std::vector<TrNullResult> nulls;
    std::vector<TrPerfResult> perf;
    std::vector<TrChecksResult> checks;

    /** The live engine filled these stores, not a precise measurement. */
    bool harmonicsLive = false, curvesLive = false, dynamicsLive = false, nullsLive = false;
};

/** What the setting chips chose. Views and modes: response view 0 magnitude, 1 phase, 2 group
    delay; harmonics mode 0 single tone, 1 THD vs frequency, 2 THD vs level, 3 IMD SMPTE, 4 IMD
    CCIF; spectrum view 0 spectrum, 1 spurs only, 2 mirror A|B; THD view 0 totals, 1 H2..H5;
    dynamics view 0 transfer, 1 attack/release. */
struct TrChipSettings
{
    double sampleRate = 48000.0;
    TrChannelMode channel = TrChannelMode::left;
    double curveLevelDb = -12.0;
    bool multiLevel = false;
    double sweepSeconds = 4.0;
    int curveView = 0;
    double harmonicsFrequencyHz = 1000.0;
    double harmonicsLevelDb = -6.0;
    int harmonicsMode = 0;
    int spectrumView = 0;
    int thdView = 0;
    int dynamicsView = 0;
    TrDynamicsParams dynamics;
    juce::String nullSignalFile;
    double perfLevelDb = -12.0;
    int thdPoints = 31;
};

/** A frozen copy of a tab's traces, shown behind new ones while the axes still match. */
struct TrHeldTraces
{
    std::vector<TrChart::Trace> traces;
    juce::String xLabel, yLabel;
    /** HARMONICS changes what its axes mean with its mode and view: a reference shows only there. */
    int harmonicsMode = 0, spectrumView = 0;
    bool held = false;
};

/** What the window knows of a slot: whether it holds a plugin, and whether its results are shown. */
struct TrSlotShown
{
    bool loaded = false;
    bool visible = true;
};

/** Everything the chart, the read-outs, the verdicts and the exports are built from. */
struct TrViewState
{
    TrTab tab = TrTab::curve;
    TrResultStores stores;
    TrChipSettings chips;
    std::array<TrHeldTraces, trTabCount> held;
    std::array<TrSlotShown, 2> slots;

    /** Whether results of this slot are shown: an index beyond the slots always is. */
    bool showsSlot (int slot) const;
};

/** Whether the active tab has something to show; on HARMONICS, for the chosen mode: single tones,
    THD sweeps of the matching axis, or IMD results of the chosen standard. */
bool tabHasResults (const TrViewState& state);

/** Removes every result measured on a plugin that is no longer in its slot: a result stays only
    while its slot holds a plugin of the result's name (an empty name: the slot is empty); a null
    test only while both slots still hold its two plugins. */
void dropStaleResults (TrResultStores& stores, const std::array<juce::String, 2>& pluginNames);
