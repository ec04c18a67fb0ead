#pragma once

#include "TrReportCard.h"
#include "ui/TrViewState.h"

/** The checkup of each slot that holds a plugin (empty names: empty slots): its first stored single
    tone, response and checks combined into the overall grade and the three categories. */
std::vector<TrReportCard::CheckupRow> checkupRowsFor (const TrResultStores& stores, const std::array<juce::String, 2>& pluginNames);
