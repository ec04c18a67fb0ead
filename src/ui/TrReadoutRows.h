#pragma once

#include "TrReadout.h"
#include "TrViewState.h"
#include "verdicts/TrVerdict.h"

/** The read-out strip of the active tab: one row per measured plugin (per comparison on NULL / AB). */
std::vector<ReadoutRow> buildReadoutRows (const TrViewState& state);

/** One verdict per shown slot (the worst of its results), or the comparison's on NULL / AB. */
std::vector<TrVerdict::SlotVerdict> buildVerdictRows (const TrViewState& state);

/** The explanation of a read-out label or of "VERDICT"; empty for any other label. */
Tooltip readoutTooltip (const juce::String& label);
