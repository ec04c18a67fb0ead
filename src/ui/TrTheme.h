#pragma once

#include <juce_graphics/juce_graphics.h>

namespace TrTheme
{
/** The brand mark scaled uniformly to fit the area, centred, filled with the colour. */
void drawBrandLogo (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour);
}
