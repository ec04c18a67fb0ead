#include "TrViewState.h"

juce::String tabName (TrTab tab)
{
    switch (tab)
    {
        case TrTab::curve:     return "CURVE";
        case TrTab::harmonics: return "HARMONICS";
        case TrTab::dynamics:  return "DYNAMICS";
        case TrTab::scope:     return "SCOPE";
        case TrTab::nullAb:    return "NULL / AB";
        case TrTab::perf:      return "PERF";
        case TrTab::checks:    return "CHECKS";
    }
    return {};
}

bool TrViewState::showsSlot (int slot) const
{
    if (slot < 0 || slot >= static_cast<int> (slots.size()))
        return true;
    const auto& s = slots[static_cast<size_t> (slot)];
    return s.loaded && s.visible;
}
