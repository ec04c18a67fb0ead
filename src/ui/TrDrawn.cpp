#include "TrDrawn.h"

#include "TrSlotStyle.h"

bool TrDrawn::isDrawn (const TrViewState& state, int slot, const juce::String& error, bool hasData)
{
    return error.isEmpty() && hasData && state.showsSlot (slot);
}

juce::Colour TrDrawn::colourFor (int slot, const juce::String& tag)
{
    const auto c = TrSlotStyle::slotColour (slot);
    return tag == "R" ? c.withMultipliedBrightness (0.7f) : c;
}

juce::String TrDrawn::baseName (int slot, const juce::String& tag)
{
    return TrSlotStyle::slotLetter (slot) + (tag.isEmpty() ? juce::String() : " " + tag);
}
