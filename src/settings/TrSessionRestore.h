#pragma once

#include "TrSettings.h"
#include "hosting/TrSlotManager.h"

/** Loads the plugins of the last session into the slots, with their saved states. A start-up that
    finds the restore flag still set knows the last restore crashed TESTRIG and loads nothing. */
namespace TrSessionRestore
{
/** What the restore has to tell the user: a message panel (title empty: none) and lines for
    standard output. */
struct Outcome
{
    juce::String title, text;
    bool error = true;
    juce::StringArray lines;
    /** Slots that hold a restored plugin: the flag stays set until they have played a while. */
    int restored = 0;
};

/** Sets the flag on disk, then loads each stored slot: a path that exists, else the scanned plugin
    with that identifier, else an LV2 URI directly. A loaded plugin gets its stored state. */
Outcome begin (TrSettings& settings, TrSlotManager& slots, const std::vector<juce::PluginDescription>& scanned);

/** Clears the flag on disk: the restored plugins loaded and played without taking TESTRIG down. */
void finish (TrSettings& settings);

/** How long restored plugins play before the restore counts as survived. */
inline constexpr int probationMs = 2500;
}
