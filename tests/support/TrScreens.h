#pragma once

#include <juce_graphics/juce_graphics.h>

namespace TrTest
{
/** Keeps a picture as <build>/screens/<name>.png for a person to look at; no test compares
    against it. False when it could not be written. */
bool keepForReview (const juce::Image& image, const juce::String& name);
}
