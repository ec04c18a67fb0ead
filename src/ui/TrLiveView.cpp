#include "TrLiveView.h"

TrLiveSettings TrLiveView::settingsFor (const TrViewState& state)
{
    using Mode = TrLiveSettings::Mode;
    const auto& c = state.chips;
    TrLiveSettings s;
    s.sampleRate = c.sampleRate;
    s.channel = c.channel == TrChannelMode::stereo ? TrChannelMode::left : c.channel;
    s.frequencyHz = c.harmonicsFrequencyHz;
    s.levelDb = c.harmonicsLevelDb;
    switch (state.tab)
    {
        case TrTab::curve:
            s.mode = Mode::curve;
            s.levelDb = c.curveLevelDb;
            break;
        case TrTab::harmonics:
            s.mode = c.harmonicsMode == 0 ? Mode::harmonics : Mode::off;
            break;
        case TrTab::dynamics:
            // The live preview covers the transfer curve only.
            s.mode = c.dynamicsView == 0 ? Mode::dynamics : Mode::off;
            s.sweepLowDb = c.dynamics.startDb;
            s.sweepHighDb = c.dynamics.endDb;
            break;
        case TrTab::scope:
            s.mode = Mode::scope;
            break;
        case TrTab::nullAb:
            s.mode = Mode::nullTest;
            s.filePath = c.nullSignalFile;
            break;
        case TrTab::perf:
        case TrTab::checks:
        default:
            s.mode = Mode::off;
            break;
    }
    return s;
}

bool TrLiveView::tabCanGoLive (TrTab tab)
{
    return tab != TrTab::perf && tab != TrTab::checks;
}

bool TrLiveView::copyResults (const TrLiveEngine& engine, TrViewState& state)
{
    auto& stores = state.stores;
    switch (settingsFor (state).mode)
    {
        case TrLiveSettings::Mode::harmonics: stores.harmonics = engine.harmonicsResults(); stores.harmonicsLive = true; return true;
        case TrLiveSettings::Mode::curve:     stores.curves = engine.curveResults(); stores.curvesLive = true; return true;
        case TrLiveSettings::Mode::dynamics:  stores.dynamics = engine.dynamicsResults(); stores.dynamicsLive = true; return true;
        case TrLiveSettings::Mode::scope:     stores.scope = engine.scopeResults(); return true;
        case TrLiveSettings::Mode::nullTest:  stores.nulls = engine.nullResults(); stores.nullsLive = true; return true;
        case TrLiveSettings::Mode::off:
        default:                              return false;
    }
}

void TrGradeHold::advance (const std::vector<TrVerdict::SlotVerdict>& rows)
{
    for (const auto& row : rows)
    {
        const auto k = keyOf (row.slot);
        const auto g = row.verdict.grade;
        if (g == shown[k])
            count[k] = 0;
        else if (g == candidate[k])
        {
            if (count[k]++ >= framesToChange - 1)
            {
                shown[k] = g;
                count[k] = 0;
            }
        }
        else
        {
            candidate[k] = g;
            count[k] = 1;
        }
    }
}

std::vector<TrVerdict::SlotVerdict> TrGradeHold::apply (std::vector<TrVerdict::SlotVerdict> rows) const
{
    for (auto& row : rows)
        row.verdict.grade = shown[keyOf (row.slot)];
    return rows;
}
