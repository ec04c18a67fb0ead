#pragma once

#include "TrReportCard.h"
#include "ui/TrViewState.h"

/** The EXPORT button's menu as a value: its items, which of them can be chosen now and why not,
    and the scoreboard rows made from the read-outs. The window shows it and carries out a choice. */
namespace TrExportMenu
{
enum Id
{
    card1080 = 1,
    card4k = 2,
    video = 3,
    csv = 4,
    json = 5,
    scoreboard = 6,
    residual = 7,
    checkupCard = 8
};

struct Item
{
    int id = 0;
    juce::String text;
    bool enabled = true;
    /** A separator goes above the item. */
    bool separatorAbove = false;
};

struct Menu
{
    /** The section header: "EXPORT " and the tab's name. */
    juce::String title;
    std::vector<Item> items;
};

Menu menuFor (const TrViewState& state);

/** Why the item cannot be chosen with the state as it is now; empty when it can. Asked again when
    an item is chosen: the results may have changed while the menu was open. */
juce::String refusalFor (int id, const TrViewState& state);

/** One row per read-out row with its plugin's name ("A - B" for the comparison) and the first
    verdict of the same slot (none when there is no such verdict). */
std::vector<TrReportCard::ScoreRow> scoreRows (const std::vector<ReadoutRow>& rows, const std::vector<TrVerdict::SlotVerdict>& verdicts,
                                               const std::array<juce::String, 2>& pluginNames);
}
