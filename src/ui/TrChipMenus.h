#pragma once

#include "TrViewState.h"

#include <functional>
#include <optional>

/** What a click on a setting chip does, as values: the menu it opens or the switch it flips. The
    window shows the menu and adds what follows a change (live preview, chart). */
namespace TrChipMenus
{
struct Item
{
    juce::String text;
    bool ticked = false;
    /** Applies the choice; empty for the item that asks for a file instead. */
    std::function<void (TrChipSettings&)> choose;
};

struct Menu
{
    /** The section header on top. */
    juce::String title;
    std::vector<Item> items;
};

/** A preset menu: one item per preset written by format, ticked when within 1e-6 of current. */
Menu presetMenu (const juce::String& title, const std::vector<double>& presets, double current,
                 const std::function<juce::String (double)>& format, const std::function<void (TrChipSettings&, double)>& set);

/** The menu a chip of the state's tab opens; none for a chip that toggles or (LEVEL on CURVE in
    multi-level mode) does nothing. */
std::optional<Menu> menuFor (const juce::String& label, const TrViewState& state);

/** Flips or cycles a toggle chip of the state's tab; false when the label is none there. Leaving
    the dynamics transfer view drops live dynamics data, which only covers the transfer curve. */
bool toggle (const juce::String& label, TrViewState& state);
}
