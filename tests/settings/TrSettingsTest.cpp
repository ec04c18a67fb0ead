#include "settings/TrSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
/** Points HOME at a fresh folder for the life of a test, so no test touches the user's settings. */
struct TemporaryHome
{
    TemporaryHome()
    {
        EXPECT_TRUE (folder.createDirectory());
        if (const auto* old = std::getenv ("HOME"))
            previous = old;
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~TemporaryHome()
    {
        setenv ("HOME", previous.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    juce::File settingsFile() const { return folder.getChildFile (".config/TESTRIG/TESTRIG.settings"); }

    const juce::File folder = juce::File::createTempFile ("").getSiblingFile ("testrig-home-" + juce::String (juce::Random().nextInt (1 << 30)));
    juce::String previous;
};

juce::MemoryBlock blockOf (std::initializer_list<int> bytes)
{
    juce::MemoryBlock block;
    for (auto b : bytes)
        block.append (&b, 1);
    return block;
}
}

TEST (Settings, TheFileLivesInTheUsersConfigFolderAsXmlWithTheSlotKeys)
{
    TemporaryHome home;
    EXPECT_EQ (TrSettings::slotKey (0), "slot0.path");
    EXPECT_EQ (TrSettings::slotKey (1), "slot1.path");
    EXPECT_EQ (TrSettings::stateKey (1), "slot1.state");

    {
        TrSettings settings;
        EXPECT_EQ (settings.props->getFile(), home.settingsFile());
        settings.setSlotPluginPath (0, "/usr/lib/vst3/ZamEQ2.vst3");
        settings.props->setValue ("window.state", "100 100 1280 800");
    }

    const auto xml = juce::XmlDocument::parse (home.settingsFile());
    ASSERT_NE (xml, nullptr) << "written when the settings go";
    EXPECT_EQ (xml->getTagName(), "PROPERTIES");

    TrSettings again;
    EXPECT_EQ (again.props->getValue (TrSettings::slotKey (0)), "/usr/lib/vst3/ZamEQ2.vst3");
    EXPECT_EQ (again.props->getValue ("window.state"), "100 100 1280 800");
}

TEST (Settings, APluginStateRoundTripsAndANewPluginInTheSlotDropsTheOldOnesState)
{
    TemporaryHome home;
    TrSettings settings;
    const auto state = blockOf ({ 0, 1, 2, 250, 255, 17, 42 });

    settings.setSlotPluginPath (0, "/plugins/X.vst3");
    settings.setSlotPluginState (0, state);
    settings.setSlotPluginPath (1, "/plugins/Z.vst3");
    settings.setSlotPluginState (1, state);
    EXPECT_EQ (settings.getSlotPluginState (0), state);

    settings.setSlotPluginPath (0, "/plugins/X.vst3");
    EXPECT_EQ (settings.getSlotPluginState (0), state) << "the same plugin keeps its state";

    settings.setSlotPluginPath (0, "/plugins/Y.vst3");
    EXPECT_EQ (settings.getSlotPluginState (0).getSize(), 0u) << "Y is never handed X's state";
    EXPECT_EQ (settings.getSlotPluginState (1), state) << "the other slot keeps its own";

    settings.clearSlotPluginPath (1);
    EXPECT_FALSE (settings.props->containsKey (TrSettings::slotKey (1)));
    EXPECT_FALSE (settings.props->containsKey (TrSettings::stateKey (1)));
    EXPECT_EQ (settings.props->getValue (TrSettings::slotKey (0)), "/plugins/Y.vst3");
}

TEST (Settings, StateTextTheApplicationCouldNotHaveWrittenDecodesToNothing)
{
    const auto state = blockOf ({ 1, 2, 3, 4, 5 });
    const auto written = state.toBase64Encoding();
    const auto characters = written.fromFirstOccurrenceOf (".", false, false);

    const struct
    {
        const char* label;
        juce::String text;
        juce::MemoryBlock decoded;
    } cases[] {
        { "as written", written, state },
        { "an empty block", juce::MemoryBlock().toBase64Encoding(), {} },
        { "empty", "", {} },
        { "no count", "." + characters, {} },
        { "a negative count", "-5." + characters, {} },
        { "a huge count", "99999999999." + characters, {} },
        { "a count that does not match", "6." + characters, {} },
        { "truncated", written.dropLastCharacters (2), {} },
        { "a character outside the alphabet", written.replaceSection (3, 1, "/"), {} },
        { "no dot", "garbage", {} },
    };

    // Compared as text: JUCE's block comparison hands memcmp null pointers for empty blocks.
    for (const auto& c : cases)
        EXPECT_EQ (decodeStateText (c.text).toBase64Encoding(), c.decoded.toBase64Encoding()) << c.label << ": " << c.text;

    // The same refusal when a hand-edited file is read at start.
    TemporaryHome home;
    {
        TrSettings settings;
        settings.props->setValue (TrSettings::stateKey (0), "-1.ABCD");
        settings.props->setValue (TrSettings::stateKey (1), "99999999999.ABCD");
    }
    TrSettings settings;
    EXPECT_EQ (settings.getSlotPluginState (0).getSize(), 0u);
    EXPECT_EQ (settings.getSlotPluginState (1).getSize(), 0u);
}

TEST (Settings, ALegacyFileIsCopiedOnceAndLeftInPlace)
{
    TemporaryHome home;
    const auto legacy = home.folder.getChildFile (".config/TestRig/TestRig.settings");
    ASSERT_TRUE (legacy.getParentDirectory().createDirectory());
    ASSERT_TRUE (legacy.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n  <VALUE name=\"onboard.seen\" val=\"1\"/>\n</PROPERTIES>\n"));

    {
        TrSettings settings;
        EXPECT_TRUE (settings.props->getBoolValue ("onboard.seen"));
        EXPECT_TRUE (legacy.existsAsFile());
        settings.props->setValue ("onboard.seen", false);
    }

    TrSettings again;
    EXPECT_FALSE (again.props->getBoolValue ("onboard.seen", true)) << "an existing file is never overwritten by the legacy one";
}

TEST (Settings, TheBrowseFolderFallsBackWhenItIsGone)
{
    TemporaryHome home;
    TrSettings settings;
    ASSERT_TRUE (juce::File ("/usr/lib/vst3").isDirectory()) << "the test scripts install zam-plugins";
    EXPECT_EQ (settings.getLastBrowseDir(), juce::File ("/usr/lib/vst3")) << "no plugin folder of the user's own";

    const auto own = home.folder.getChildFile (".vst3");
    ASSERT_TRUE (own.createDirectory());
    EXPECT_EQ (settings.getLastBrowseDir(), own);

    const auto folder = home.folder.getChildFile ("plugins");
    ASSERT_TRUE (folder.createDirectory());
    settings.props->setValue ("browse.lastDir", folder.getFullPathName());
    EXPECT_EQ (settings.getLastBrowseDir(), folder);

    ASSERT_TRUE (folder.deleteRecursively());
    EXPECT_EQ (settings.getLastBrowseDir(), own);
}
