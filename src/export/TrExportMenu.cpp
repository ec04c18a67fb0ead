#include "TrExportMenu.h"

TrExportMenu::Menu TrExportMenu::menuFor (const TrViewState& state)
{
    Menu menu { "EXPORT " + tabName (state.tab), {} };
    const auto add = [&menu, &state] (int id, const char* text, bool separatorAbove) {
        menu.items.push_back ({ id, text, refusalFor (id, state).isEmpty(), separatorAbove });
    };
    add (card1080, "PNG report card (1920 x 1080)", false);
    add (card4k, "PNG report card (3840 x 2160)", false);
    add (scoreboard, "PNG scoreboard (big numbers, no chart)", false);
    add (video, "MP4 reveal video (1080p60)", true);
    add (csv, "CSV data", true);
    add (json, "JSON data", false);
    if (state.tab == TrTab::nullAb)
        add (residual, "WAV residual audio (A - B, raw + boosted)", true);
    add (checkupCard, "PNG checkup card (overall grade)", true);
    return menu;
}

juce::String TrExportMenu::refusalFor (int id, const TrViewState& state)
{
    const auto& stores = state.stores;
    if (id == residual
        && (state.tab != TrTab::nullAb || stores.nulls.empty() || stores.nulls.front().error.isNotEmpty() || stores.nulls.front().residual.empty()))
        return "The last NULL / AB run left no residual audio to write. Measure NULL / AB again, then export.";
    if (id == checkupCard && (stores.harmonics.empty() || stores.curves.empty() || stores.checks.empty()))
        return "The checkup card needs the single-tone HARMONICS, CURVE and CHECKS results of the plugins. Press CHECKUP first, then export.";
    return {};
}

std::vector<TrReportCard::ScoreRow> TrExportMenu::scoreRows (const std::vector<ReadoutRow>& rows, const std::vector<TrVerdict::SlotVerdict>& verdicts,
                                                             const std::array<juce::String, 2>& pluginNames)
{
    std::vector<TrReportCard::ScoreRow> score;
    for (const auto& row : rows)
    {
        TrReportCard::ScoreRow s;
        s.slot = row.slot;
        s.name = row.slot < 0 ? juce::String ("A - B") : pluginNames[static_cast<size_t> (row.slot)];
        s.error = row.error;
        s.chips = row.chips;
        const auto first = std::find_if (verdicts.begin(), verdicts.end(), [&row] (const auto& v) { return v.slot == row.slot; });
        if (first != verdicts.end())
        {
            s.grade = first->verdict.grade;
            s.text = first->verdict.text;
            s.detail = first->verdict.detail;
        }
        score.push_back (std::move (s));
    }
    return score;
}
