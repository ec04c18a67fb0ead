#pragma once

#include "results/TrHarmonicsRecords.h"
#include "ui/TrReadout.h"

/** --bench-card: one plugin's harmonics report card as a PNG. */
int runCardBenchMode (const juce::StringArray& args);

/** --bench-card-ab: slots A and B (from the options or the window's saved session) on one card,
    with a scoreboard beside it. */
int runCardAbBenchMode (const juce::StringArray& args);

/** The five values a harmonics card shows: THD, ALIAS, TP, LAT, CPU. */
std::vector<ReadoutChip> harmonicsChips (const TrHarmonicsResult& result);
