#pragma once

#include "results/TrHarmonicsRecords.h"
#include "chart/TrChart.h"
#include "export/TrReportCard.h"
#include "ui/TrReadout.h"

/** --bench-card: one plugin's harmonics report card as a PNG. */
int runCardBenchMode (const juce::StringArray& args);

/** --bench-card-ab: slots A and B (from the options or the window's saved session) on one card,
    with a scoreboard beside it. */
int runCardAbBenchMode (const juce::StringArray& args);

/** The chart of a single card: the spectrum reduced to 2048 buckets, filled, with H2..H10 marked. */
TrChart::Model singleCardModel (const TrHarmonicsResult& result);

/** The card's header and footer texts for a result, with the plugin names given. */
TrReportCard::Meta cardMeta (const TrHarmonicsResult& result, const juce::String& pluginNames);

/** The five values a harmonics card shows: THD, ALIAS, TP, LAT, CPU. */
std::vector<ReadoutChip> harmonicsChips (const TrHarmonicsResult& result);
