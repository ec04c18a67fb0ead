#pragma once

#include <juce_graphics/juce_graphics.h>

/** How slots and grades look wherever they are drawn: chart, read-outs, cards. */
namespace TrSlotStyle
{
/** Slot index modulo 4: gold, steel, magenta, green. */
juce::Colour slotColour (int slot);

/** "A" for slot 0, "B" for 1, and so on; "A/B" for the comparison (-1). */
juce::String slotLetter (int slot);

/** good green, ok solo, warn solo blended 55 % toward mute, bad mute, anything else textSecondary. */
juce::Colour gradeColour (int grade);

/** A chip's value colour: textPrimary for status none, else its grade colour. */
juce::Colour statusColour (int status);
}
