#include "TrTestPaths.h"
#include "hosting/TrPluginScanner.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

namespace
{
/** A copy of a fixture bundle under another name (the module inside is named after its bundle). */
juce::File copyBundle (const juce::String& fixture, const juce::File& folder, const juce::String& name)
{
    const auto bundle = folder.getChildFile (name + ".vst3");
    if (! bundle.exists())
    {
        TrTest::fixture (fixture).copyDirectoryTo (bundle);
        for (const auto& module : bundle.findChildFiles (juce::File::findFiles, true, fixture + ".so"))
            module.moveFileTo (module.getSiblingFile (name + ".so"));
    }
    return bundle;
}

juce::File scanFolder()
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("scan-me");
    folder.createDirectory();
    copyBundle ("TestrigFixture", folder, "Wire");
    copyBundle ("TestrigCrashOnLoad", folder, "Crasher");
    copyBundle ("TestrigGain1dB", folder, "Gain");
    return folder;
}

std::map<juce::String, juce::FileSearchPath> onlyThere (const juce::File& folder)
{
    return { { "VST3", juce::FileSearchPath (folder.getFullPathName()) }, { "LV2", juce::FileSearchPath() } };
}

juce::StringArray namesOf (const std::vector<juce::PluginDescription>& types)
{
    juce::StringArray names;
    for (const auto& t : types)
        names.add (juce::File (t.fileOrIdentifier).getFileNameWithoutExtension());
    return names;
}
}

TEST (PluginScanner, APluginThatCrashesTheScanIsBlacklistedAtTheNextStart)
{
    const auto folder = scanFolder();
    TrSettings::options().getDefaultFile().deleteFile();

    // The first scan dies on the crasher; the pedal names it, the list keeps what came before.
    EXPECT_DEATH (
        {
            TrSettings settings;
            TrPluginScanner scanner (settings, onlyThere (folder));
            scanner.run();
        },
        "");

    {
        TrSettings settings;
        const auto pedal = TrPluginScanner::pedalFile (settings);
        ASSERT_TRUE (pedal.existsAsFile()) << "the crash left the pedal";
        EXPECT_TRUE (pedal.loadFileAsString().contains ("Crasher.vst3")) << pedal.loadFileAsString();
    }

    TrSettings settings;
    TrPluginScanner scanner (settings, onlyThere (folder));
    EXPECT_FALSE (TrPluginScanner::pedalFile (settings).exists()) << "read and removed at start";
    ASSERT_EQ (scanner.getBlacklist().size(), 1);
    EXPECT_TRUE (scanner.getBlacklist()[0].endsWith ("Crasher.vst3"));

    scanner.run();
    auto scanned = namesOf (scanner.getSnapshot());
    scanned.sort (true);
    EXPECT_EQ (scanned.joinIntoString (","), "Gain,Wire") << "the crasher is passed over";
    EXPECT_FLOAT_EQ (scanner.progress.load(), 1.0f);

    // The list is in the settings: the next start knows the plugins without scanning.
    TrSettings again;
    EXPECT_EQ (TrPluginScanner (again, onlyThere (folder)).getSnapshot().size(), 2u);
    folder.deleteRecursively();
}

TEST (PluginScanner, APedalWithBlankLinesBlacklistsItsEntriesAndTheSnapshotSortsByNameIgnoringCase)
{
    TrSettings::options().getDefaultFile().deleteFile();
    {
        TrSettings settings;
        settings.props->setValue ("scannedPlugins",
                                  "<KNOWNPLUGINS><PLUGIN name=\"beta\" format=\"VST3\" file=\"/b.vst3\" uniqueId=\"1\"/>"
                                  "<PLUGIN name=\"Alpha two\" format=\"VST3\" file=\"/a2.vst3\" uniqueId=\"2\"/>"
                                  "<PLUGIN name=\"alpha\" format=\"VST3\" file=\"/a.vst3\" uniqueId=\"3\"/></KNOWNPLUGINS>");
        settings.props->saveIfNeeded();
        // As the framework writes it: UTF-16 with a byte-order mark.
        ASSERT_TRUE (TrPluginScanner::pedalFile (settings).replaceWithText ("/x.vst3\n\n  \n/y.vst3\n", true, true));
    }

    TrSettings settings;
    TrPluginScanner scanner (settings);
    juce::StringArray names;
    for (const auto& t : scanner.getSnapshot())
        names.add (t.name);
    EXPECT_EQ (names.joinIntoString (","), "alpha,Alpha two,beta");
    EXPECT_EQ (scanner.getBlacklist().joinIntoString (","), "/x.vst3,/y.vst3");
    EXPECT_FALSE (TrPluginScanner::pedalFile (settings).exists());
    EXPECT_TRUE (settings.props->getValue ("scannedPlugins").contains ("BLACKLISTED")) << "persisted at once";

    TrSettings garbled;
    garbled.props->setValue ("scannedPlugins", "<not xml");
    EXPECT_TRUE (TrPluginScanner (garbled).getSnapshot().empty());
}

TEST (PluginScanner, SlotsLoadAndUnloadWhileAScanExaminesTheSameModules)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("scan-while-loading");
    folder.createDirectory();
    juce::StringArray bundles;
    for (int i = 0; i < 6; ++i)
        bundles.add (copyBundle (i % 2 == 0 ? "TestrigFixture" : "TestrigGain1dB", folder, "Copy" + juce::String (i)).getFullPathName());
    TrSettings::options().getDefaultFile().deleteFile();

    TrSettings settings;
    TrPluginScanner scanner (settings, onlyThere (folder));
    TrSlotManager slots;
    scanner.startThread();

    // Loads of the very bundles being scanned, on this thread, until the scan is done.
    int loads = 0;
    juce::StringArray errors;
    while (scanner.isThreadRunning() || loads < 6)
    {
        juce::String error;
        if (slots.slot (loads % 2).loadFromFile (juce::File (bundles[loads % bundles.size()]), error))
            slots.slot (loads % 2).unload();
        else
            errors.add (error);
        ++loads;
    }

    EXPECT_TRUE (errors.isEmpty()) << errors.joinIntoString ("\n");
    EXPECT_EQ (scanner.getSnapshot().size(), 6u);
    EXPECT_TRUE (scanner.getBlacklist().isEmpty());
    folder.deleteRecursively();
}
