#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The menu of an empty slot: browse, the scanned plugins in "VST3" and "LV2" sub-menus, and the
    scan item. A choice is looked up in the list the menu was built from, so a scan that re-sorts
    the list meanwhile cannot swap the plugin the user clicked. */
class TrSlotMenu final
{
public:
    static constexpr int browseId = 1;
    static constexpr int scanId = 2;
    static constexpr int firstPluginId = 100;

    /** scanning with progress 0..1 turns the scan item into a disabled "scanning... n %";
        plugins in the blacklist (those that took TESTRIG down) are marked. */
    TrSlotMenu (std::vector<juce::PluginDescription> snapshot, const juce::StringArray& blacklist, bool scanning,
                float progress);

    /** The popup menu for the slot with this letter, drawn with the look given (if any). */
    juce::PopupMenu build (const juce::String& slotLetter, juce::LookAndFeel* look = nullptr) const;

    /** The plugin behind a menu result; none for other results. */
    std::optional<juce::PluginDescription> pluginFor (int result) const;

    /** How a scanned plugin that crashed TESTRIG is marked in the menu. */
    static juce::String crashedMark();

private:
    std::vector<juce::PluginDescription> plugins;
    juce::StringArray crashed;
    bool scanning;
    float progress;
};
