#pragma once

#include <juce_graphics/juce_graphics.h>

/** Where every part of the main window goes for a window of the given size. */
struct TrMainLayout
{
    juce::Rectangle<int> header, bottomBar, rail, content, slotStrip;
    /** The recessed panel in the content, and inside it the verdict band, read-out strip and chart. */
    juce::Rectangle<int> panel, verdictBand, readoutStrip, chart;
    juce::Rectangle<int> measure, hold, live, exportButton, checkup;

    /** Chip i of the bottom bar: 96 px wide at a 104 px pitch. */
    juce::Rectangle<int> chip (int index) const;

    /** Rail entry i: 64 px tall at a 72 px pitch from the rail's top. */
    juce::Rectangle<int> railEntry (int index) const;

    static TrMainLayout forSize (int width, int height);
};
