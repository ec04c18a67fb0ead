#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace TrTest
{
/** A mouse event at a position in the component, as the window system would deliver it; a drag
    measures its distance from pressedAt. */
juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> position, juce::Point<float> pressedAt = {}, int clicks = 1);
}
