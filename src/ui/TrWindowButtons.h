#pragma once

#include "TrMainLayout.h"
#include "TrReadout.h"

/** The run and export buttons of the window: where they are and what they explain. One that does
    not act yet in this version says so in its explanation and is drawn inactive. */
namespace TrWindowButtons
{
struct Button
{
    const char* name;
    juce::Rectangle<int> TrMainLayout::*area;
    bool inHeader;
    bool available;
};

/** CHECKUP, MEASURE, HOLD, LIVE, EXPORT: the order clicks are tested in. */
const std::vector<Button>& all();

/** The button's explanation, with the note that it is not available yet where it is not. */
Tooltip tooltipFor (const juce::String& name);

/** Appended to the explanation of anything the window cannot do yet. */
juce::String notAvailableNote();
}
