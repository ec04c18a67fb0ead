#pragma once

#include "TrReadout.h"
#include "TrViewState.h"

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
