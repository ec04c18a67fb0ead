#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace TrTest
{
/** A mouse event at a position in the component, as the window system would deliver it; a drag
    measures its distance from pressedAt. */
juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> position, juce::Point<float> pressedAt = {}, int clicks = 1);
}

namespace TrTest
{
/** Moves the mouse to a point of the component through its window, as the window system would:
    the component under it gets the event, with every mouse listener on the way. */
void moveThroughWindow (juce::Component& c, juce::Point<float> position);

/** Presses and releases the left button at a point of the component, through its window. */
void clickThroughWindow (juce::Component& c, juce::Point<float> position);
}
