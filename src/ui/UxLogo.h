#pragma once

#include <juce_graphics/juce_graphics.h>

namespace UxLogo
{
/** The brand mark as one fillable outline in a 100 x 100 box: a ring crossed by a waveform whose
    right half is clipped flat, the bench's question in one picture. */
const juce::Path& getLogoPath();
}
