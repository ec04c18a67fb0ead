#include "TrReadoutRows.h"

namespace
{
int rank (TrVerdict::Grade g)
{
    const auto v = static_cast<int> (g);
    return v >= 1 && v <= 4 ? v : 0;
}

/** The worst of a slot's verdicts: the first is kept unless a later one is graded worse. */
struct Worst
{
    void offer (const TrVerdict::Verdict& v)
    {
        if (! any || (rank (v.grade) > rank (kept.grade)))
            kept = v;
        any = true;
    }

    bool any = false;
    TrVerdict::Verdict kept;
};

template <typename Result, typename Judge>
void visit (Worst& worst, const std::vector<Result>& store, int slot, Judge&& judge)
{
    for (const auto& r : store)
        if (r.slotIndex == slot)
            worst.offer (judge (r));
}
}

std::vector<TrVerdict::SlotVerdict> buildVerdictRows (const TrViewState& state)
{
    const auto& s = state.stores;
    std::vector<TrVerdict::SlotVerdict> rows;

    if (state.tab == TrTab::nullAb)
    {
        for (const auto& r : s.nulls)
            if (r.error.isEmpty())
            {
                rows.push_back ({ -1, TrVerdict::forNull (r) });
                break;
            }
        return rows;
    }

    for (int slot = 0; slot < static_cast<int> (state.slots.size()); ++slot)
    {
        if (! state.showsSlot (slot))
            continue;

        Worst worst;
        switch (state.tab)
        {
            case TrTab::curve:    visit (worst, s.curves, slot, TrVerdict::forCurve); break;
            case TrTab::dynamics: visit (worst, s.dynamics, slot, TrVerdict::forDynamics); break;
            case TrTab::scope:    visit (worst, s.scope, slot, TrVerdict::forScope); break;
            case TrTab::perf:     visit (worst, s.perf, slot, TrVerdict::forPerf); break;
            case TrTab::checks:   visit (worst, s.checks, slot, TrVerdict::forChecks); break;
            case TrTab::nullAb:   break;
            case TrTab::harmonics:
            {
                const auto mode = state.chips.harmonicsMode;
                if (mode == 0)
                    visit (worst, s.harmonics, slot, TrVerdict::forHarmonics);
                else if (mode <= 2)
                {
                    // Only the sweeps on the chart: a frequency sweep must not judge the level view.
                    for (const auto& r : s.thdSweeps)
                        if (r.slotIndex == slot && r.vsLevel == (mode == 2))
                            worst.offer (TrVerdict::forThdSweep (r));
                }
                else
                    visit (worst, s.imd, slot, TrVerdict::forImd);
                break;
            }
        }
        if (worst.any)
            rows.push_back ({ slot, worst.kept });
    }
    return rows;
}
