#include "hosting/TrPluginFiles.h"
#include "ui/TrSlotMenu.h"

#include <gtest/gtest.h>

namespace
{
juce::PluginDescription plugin (const juce::String& name, const juce::String& format, const juce::String& id)
{
    juce::PluginDescription d;
    d.name = name;
    d.pluginFormatName = format;
    d.fileOrIdentifier = id;
    return d;
}

/** The menu as text: "header|id:text|>sub{...}|-|" with "(off)" for disabled items. */
juce::String describe (const juce::PopupMenu& menu)
{
    juce::StringArray parts;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSectionHeader)
            parts.add ("#" + item.text);
        else if (item.isSeparator)
            parts.add ("-");
        else if (item.subMenu != nullptr)
            parts.add (item.text + "{" + describe (*item.subMenu) + "}");
        else
            parts.add (juce::String (item.itemID) + ":" + item.text + (item.isEnabled ? "" : "(off)"));
    }
    return parts.joinIntoString ("|");
}

const std::vector<juce::PluginDescription> scanned {
    plugin ("a-comp", "LV2", "http://lsp-plug.in/plugins/lv2/comp"),
    plugin ("Delay", "VST3", "/usr/lib/vst3/Delay.vst3"),
    plugin ("eq", "LV2", "urn:eq"),
    plugin ("ZamEQ2", "VST3", "/usr/lib/vst3/ZamEQ2.vst3"),
};
}

TEST (SlotMenu, ListsScannedPluginsByFormatWithTheScanItemLast)
{
    const struct
    {
        const char* label;
        std::vector<juce::PluginDescription> snapshot;
        juce::StringArray crashed;
        bool scanning;
        float progress;
        const char* menu;
    } cases[] {
        { "nothing scanned yet", {}, {}, false, 0.0f, "#SLOT B|1:browse files...|-|2:scan installed plugins" },
        { "scanned, in list order", scanned, {}, false, 1.0f,
          "#SLOT B|1:browse files...|VST3{101:Delay|103:ZamEQ2}|LV2{100:a-comp|102:eq}|-|2:rescan plugins" },
        { "scanning", scanned, {}, true, 0.427f,
          "#SLOT B|1:browse files...|VST3{101:Delay|103:ZamEQ2}|LV2{100:a-comp|102:eq}|-|2:scanning... 42 %(off)" },
        { "a plugin that crashed TESTRIG is marked", scanned, { "urn:eq" }, false, 1.0f,
          "#SLOT B|1:browse files...|VST3{101:Delay|103:ZamEQ2}|LV2{100:a-comp|102:eq  (crashed TESTRIG)}|-|2:rescan plugins" },
        { "only LV2", { scanned[0] }, {}, false, 1.0f, "#SLOT B|1:browse files...|LV2{100:a-comp}|-|2:rescan plugins" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (describe (TrSlotMenu (c.snapshot, c.crashed, c.scanning, c.progress).build ("B")), c.menu) << c.label;
}

TEST (SlotMenu, AChoiceIsTheEntryTheUserSawWhateverTheScanDidSince)
{
    // The menu is built from the list as it was; a scan finishing meanwhile re-sorts the live list.
    const TrSlotMenu menu (scanned, {}, true, 0.5f);
    EXPECT_EQ (menu.pluginFor (103)->name, "ZamEQ2");
    EXPECT_EQ (menu.pluginFor (100)->fileOrIdentifier, "http://lsp-plug.in/plugins/lv2/comp");
    for (const int other : { 0, TrSlotMenu::browseId, TrSlotMenu::scanId, 99, 104, -5 })
        EXPECT_FALSE (menu.pluginFor (other).has_value()) << other;
}

TEST (PluginFiles, AChosenFileStandsForTheBundleAroundIt)
{
    const struct
    {
        const char* chosen;
        const char* bundle;
    } cases[] {
        { "/usr/lib/vst3/ZamEQ2.vst3", "/usr/lib/vst3/ZamEQ2.vst3" },
        { "/home/u/My Plugin.VST3", "/home/u/My Plugin.VST3" },
        { "/usr/lib/lv2/x42-eq.lv2", "/usr/lib/lv2/x42-eq.lv2" },
        { "/usr/lib/vst3/ZamEQ2.vst3/Contents/x86_64-linux/ZamEQ2.so", "/usr/lib/vst3/ZamEQ2.vst3" },
        { "/usr/lib/lv2/x42-eq.lv2/manifest.ttl", "/usr/lib/lv2/x42-eq.lv2" },
        { "/usr/lib/lv2/x42-eq.lv2/fil4.so", "/usr/lib/lv2/x42-eq.lv2" },
        { "/usr/lib/lv2/x42-eq.lv2/fil4.ttl", "" },
        { "/usr/lib/libfoo.so", "" },
        { "/home/u/manifest.ttl", "" },
        { "/home/u/song.wav", "" },
        { "/home/u/plugins", "" },
    };

    for (const auto& c : cases)
    {
        const auto bundle = TrPluginFiles::bundleFor (juce::File (c.chosen));
        EXPECT_EQ (bundle == juce::File() ? juce::String() : bundle.getFullPathName(), c.bundle) << c.chosen;
    }
}
