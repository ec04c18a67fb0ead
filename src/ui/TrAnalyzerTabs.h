#pragma once

#include "TrReadout.h"

#include <array>

/** The analyzer tabs, in rail order. */
enum class TrTab
{
    curve,
    harmonics,
    dynamics,
    scope,
    nullAb,
    perf,
    checks
};

inline constexpr int trTabCount = 7;

/** "CURVE", "HARMONICS", "DYNAMICS", "SCOPE", "NULL / AB", "PERF", "CHECKS". */
juce::String tabName (TrTab tab);

/** A rail entry: the tab's name and what it answers in a few words. */
struct AnalyzerTab
{
    juce::String name;
    juce::String subtitle;
};

/** The seven rail entries in rail order. */
const std::array<AnalyzerTab, trTabCount>& analyzerTabs();

/** The rail entry's explanation ("CURVE - frequency response" and what the tab shows). */
Tooltip railTooltip (TrTab tab);
