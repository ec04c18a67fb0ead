#include "TrCheckupRows.h"

namespace
{
template <typename Result>
const Result* firstOf (const std::vector<Result>& store, int slot)
{
    for (const auto& r : store)
        if (r.slotIndex == slot)
            return &r;
    return nullptr;
}
}

std::vector<TrReportCard::CheckupRow> checkupRowsFor (const TrResultStores& stores, const std::array<juce::String, 2>& pluginNames)
{
    std::vector<TrReportCard::CheckupRow> rows;
    for (int slot = 0; slot < static_cast<int> (pluginNames.size()); ++slot)
    {
        const auto& name = pluginNames[static_cast<size_t> (slot)];
        if (name.isEmpty())
            continue;
        rows.push_back ({ slot, name,
                          TrVerdict::forCheckup (firstOf (stores.harmonics, slot), firstOf (stores.curves, slot), firstOf (stores.checks, slot)) });
    }
    return rows;
}
