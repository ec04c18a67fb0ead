#include "TrViewState.h"

#include <algorithm>

bool TrViewState::showsSlot (int slot) const
{
    if (slot < 0 || slot >= static_cast<int> (slots.size()))
        return true;
    const auto& s = slots[static_cast<size_t> (slot)];
    return s.loaded && s.visible;
}

bool tabHasResults (const TrViewState& state)
{
    const auto& s = state.stores;
    switch (state.tab)
    {
        case TrTab::curve:    return ! s.curves.empty();
        case TrTab::dynamics: return ! s.dynamics.empty();
        case TrTab::scope:    return ! s.scope.empty();
        case TrTab::nullAb:   return ! s.nulls.empty();
        case TrTab::perf:     return ! s.perf.empty();
        case TrTab::checks:   return ! s.checks.empty();
        case TrTab::harmonics:
        {
            const auto mode = state.chips.harmonicsMode;
            if (mode == 0)
                return ! s.harmonics.empty();
            if (mode <= 2)
                return std::any_of (s.thdSweeps.begin(), s.thdSweeps.end(), [mode] (const auto& r) { return r.vsLevel == (mode == 2); });
            return std::any_of (s.imd.begin(), s.imd.end(), [mode] (const auto& r) { return (r.standard == "CCIF") == (mode == 4); });
        }
    }
    return false;
}

namespace
{
template <typename Records>
void keepCurrent (Records& records, const std::array<juce::String, 2>& names)
{
    records.erase (std::remove_if (records.begin(), records.end(), [&names] (const auto& r) {
                       return r.slotIndex < 0 || r.slotIndex >= static_cast<int> (names.size())
                              || names[static_cast<size_t> (r.slotIndex)].isEmpty()
                              || names[static_cast<size_t> (r.slotIndex)] != r.pluginName;
                   }),
                   records.end());
}
}

void dropStaleResults (TrResultStores& stores, const std::array<juce::String, 2>& names)
{
    keepCurrent (stores.harmonics, names);
    keepCurrent (stores.thdSweeps, names);
    keepCurrent (stores.imd, names);
    keepCurrent (stores.curves, names);
    keepCurrent (stores.dynamics, names);
    keepCurrent (stores.scope, names);
    keepCurrent (stores.perf, names);
    keepCurrent (stores.checks, names);

    const auto nullStillHolds = [&names] (const TrNullResult& r) {
        return names[0].isNotEmpty() && names[1].isNotEmpty() && r.nameA == names[0] && r.nameB == names[1];
    };
    if (! std::all_of (stores.nulls.begin(), stores.nulls.end(), nullStillHolds))
        stores.nulls.clear();
}
