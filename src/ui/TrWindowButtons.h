#pragma once

#include "TrMainLayout.h"
#include "TrReadout.h"

/** The run and export buttons of the window: where they are and what they explain. */
namespace TrWindowButtons
{
struct Button
{
    const char* name;
    juce::Rectangle<int> TrMainLayout::*area;
    bool inHeader;
};

/** CHECKUP, MEASURE, HOLD, LIVE, EXPORT: the order clicks are tested in. */
const std::vector<Button>& all();

/** The button's explanation. */
Tooltip tooltipFor (const juce::String& name);
}
