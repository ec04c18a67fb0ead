#pragma once

#include "TrViewState.h"

/** HOLD: freezes the active tab's traces as grey references behind later ones. */
namespace TrHold
{
/** A held reference is cleared. Otherwise, when the tab has results, every named trace of the
    chart that is not itself held is copied desaturated (saturation x 0.3, alpha 0x80, 1.2 px, no
    glow, fill or band) and named "HOLD " + its name, with " @ " + the rate it was measured at
    on a frequency axis; the axes' labels and the harmonics view are kept with it. */
void toggle (TrViewState& state, const TrChart::Model& shown);

/** The held copy of a trace. */
TrChart::Trace heldCopy (const TrChart::Trace& trace, const juce::String& rateSuffix);
}
