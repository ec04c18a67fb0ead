#include "TrSlotStyle.h"

#include "UxPanelTheme.h"

namespace
{
const juce::Colour green { 0xff5cbf86 };
}

juce::Colour TrSlotStyle::slotColour (int slot)
{
    using namespace UxPanelTheme;
    switch (((slot % 4) + 4) % 4)
    {
        case 0:  return Colours::gold;
        case 1:  return Colours::steel;
        case 2:  return Colours::magenta;
        default: return green;
    }
}

juce::String TrSlotStyle::slotLetter (int slot)
{
    if (slot < 0)
        return "A/B";
    return juce::String::charToString (static_cast<juce::juce_wchar> ('A' + slot % 26));
}

juce::Colour TrSlotStyle::gradeColour (int grade)
{
    using namespace UxPanelTheme;
    switch (grade)
    {
        case 1:  return green;
        case 2:  return Colours::solo;
        case 3:  return Colours::solo.interpolatedWith (Colours::mute, 0.55f);
        case 4:  return Colours::mute;
        default: return Colours::textSecondary;
    }
}

juce::Colour TrSlotStyle::statusColour (int status)
{
    return status == 0 ? UxPanelTheme::Colours::textPrimary : gradeColour (status);
}
