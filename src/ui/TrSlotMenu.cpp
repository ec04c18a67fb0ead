#include "TrSlotMenu.h"

TrSlotMenu::TrSlotMenu (std::vector<juce::PluginDescription> snapshot, const juce::StringArray& blacklist, bool isScanning,
                        float scanProgress)
    : plugins (std::move (snapshot)), crashed (blacklist), scanning (isScanning), progress (scanProgress)
{
}

juce::String TrSlotMenu::crashedMark()
{
    return "  (crashed TESTRIG)";
}

juce::PopupMenu TrSlotMenu::build (const juce::String& slotLetter, juce::LookAndFeel* look) const
{
    juce::PopupMenu menu, vst3, lv2;
    for (auto* m : { &menu, &vst3, &lv2 })
        m->setLookAndFeel (look);

    menu.addSectionHeader ("SLOT " + slotLetter);
    menu.addItem (browseId, "browse files...");

    for (size_t i = 0; i < plugins.size(); ++i)
    {
        const auto& d = plugins[i];
        const auto name = crashed.contains (d.fileOrIdentifier) ? d.name + crashedMark() : d.name;
        (d.pluginFormatName == "LV2" ? lv2 : vst3).addItem (firstPluginId + static_cast<int> (i), name);
    }
    if (vst3.getNumItems() > 0)
        menu.addSubMenu ("VST3", vst3);
    if (lv2.getNumItems() > 0)
        menu.addSubMenu ("LV2", lv2);

    menu.addSeparator();
    if (scanning)
        menu.addItem (scanId, "scanning... " + juce::String (static_cast<int> (100.0f * juce::jlimit (0.0f, 1.0f, progress))) + " %", false);
    else
        menu.addItem (scanId, plugins.empty() ? "scan installed plugins" : "rescan plugins");
    return menu;
}

std::optional<juce::PluginDescription> TrSlotMenu::pluginFor (int result) const
{
    const auto i = result - firstPluginId;
    if (i < 0 || i >= static_cast<int> (plugins.size()))
        return std::nullopt;
    return plugins[static_cast<size_t> (i)];
}
