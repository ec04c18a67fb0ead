#include "TrChildProcess.h"
#include "TrFixtureSlot.h"
#include "TrMessagePump.h"
#include "TrTestPaths.h"
#include "app/TrMainWindow.h"
#include "hosting/TrPluginScanner.h"
#include "settings/TrSessionRestore.h"
#include "ui/TrMainComponent.h"
#include "ui/TrMessage.h"

#include <gtest/gtest.h>

namespace
{
/** A fixture's state with parameters set as "Name=value text", taken without processing a block. */
juce::MemoryBlock stateOf (const juce::StringArray& assignments)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    juce::String error;
    EXPECT_TRUE (slot.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    for (const auto& a : assignments)
        for (auto* p : slot.instance->getParameters())
            if (p->getName (64) == a.upToFirstOccurrenceOf ("=", false, false))
                p->setValueNotifyingHost (p->getValueForText (a.fromFirstOccurrenceOf ("=", false, false)));
    juce::MemoryBlock state;
    slot.instance->getStateInformation (state);
    return state;
}

void storeSession (const juce::String& slot0, const juce::MemoryBlock& state0 = {}, const juce::String& slot1 = {})
{
    TrSettings::options().getDefaultFile().deleteFile();
    TrSettings settings;
    if (slot0.isNotEmpty())
        settings.setSlotPluginPath (0, slot0);
    if (! state0.isEmpty())
        settings.setSlotPluginState (0, state0);
    if (slot1.isNotEmpty())
        settings.setSlotPluginPath (1, slot1);
    settings.props->save();
}

bool flagOnDisk()
{
    return TrSettings().props->getBoolValue ("restore.inProgress");
}

TrMessage* panelOf (juce::Component& window)
{
    for (auto* child : window.getChildren())
        if (auto* panel = dynamic_cast<TrMessage*> (child))
            return panel;
    return nullptr;
}

juce::String modeOf (juce::AudioPluginInstance& plugin)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (64) == "Mode")
            return p->getCurrentValueAsText();
    return {};
}
}

TEST (SessionRestore, TheLastSessionsPluginsComeBackWithTheirStatesAndTheFlagClearsAfterProbation)
{
    storeSession (TrTest::fixture ("TestrigFixture").getFullPathName(), stateOf ({ "Mode=Soft clip" }), "http://gareus.org/oss/lv2/dpl#stereo");
    {
        TrMainWindow window ("TESTRIG");
        auto& main = dynamic_cast<TrMainComponent&> (*window.getContentComponent());
        TrTest::pumpMessages (300);

        ASSERT_TRUE (main.slotManager.slot (0).isLoaded());
        EXPECT_EQ (modeOf (*main.slotManager.slot (0).instance), "Soft clip") << "the stored state applied";
        ASSERT_TRUE (main.slotManager.slot (1).isLoaded()) << "an LV2 URI loads without a scan";
        EXPECT_EQ (main.slotManager.slot (1).description.pluginFormatName, "LV2");
        EXPECT_TRUE (flagOnDisk()) << "on disk while the restored plugins first play";

        TrTest::pumpMessages (TrSessionRestore::probationMs + 500);
        EXPECT_FALSE (flagOnDisk());
        EXPECT_EQ (panelOf (window), nullptr);
    }
    storeSession ({});
}

TEST (SessionRestore, AStartThatFindsTheFlagSetClearsTheSlotsAndSaysWhy)
{
    storeSession (TrTest::fixture ("TestrigFixture").getFullPathName(), stateOf ({ "Mode=Soft clip" }));
    {
        TrSettings settings;
        settings.props->setValue ("restore.inProgress", true);
        settings.props->save();
    }

    TrMainWindow window ("TESTRIG");
    auto& main = dynamic_cast<TrMainComponent&> (*window.getContentComponent());
    TrTest::pumpMessages (300);
    EXPECT_FALSE (main.slotManager.slot (0).isLoaded()) << "not loaded, though the plugin is fine";
    EXPECT_FALSE (flagOnDisk());
    EXPECT_FALSE (TrSettings().props->containsKey (TrSettings::slotKey (0)));
    EXPECT_FALSE (TrSettings().props->containsKey (TrSettings::stateKey (0)));
    ASSERT_NE (panelOf (window), nullptr);
}

TEST (SessionRestore, APluginThatCrashesOnLoadOrWhilePlayingIsNotRestoredAgain)
{
    const struct
    {
        const char* label;
        juce::String path;
        juce::MemoryBlock state;
        bool named;
    } cases[] {
        { "crashes while loading", TrTest::fixture ("TestrigCrashOnLoad").getFullPathName(), {}, true },
        { "crashes while playing", TrTest::fixture ("TestrigFixture").getFullPathName(), stateOf ({ "Mode=Crash" }), false },
    };

    for (const auto& c : cases)
    {
        storeSession (c.path, c.state);

        // The real application: it restores, and the plugin takes it down.
        TrTest::OwnedProcess app;
        ASSERT_TRUE (app.start (TrTest::testrigExecutable().getFullPathName(), 0));
        for (int i = 0; i < 200 && app.isRunning(); ++i)
            juce::Thread::sleep (50);
        EXPECT_FALSE (app.isRunning()) << c.label;
        app.kill();
        EXPECT_TRUE (flagOnDisk()) << c.label << ": the flag survived the crash";

        // A plugin that took the process down while loading is named in the pedal; the next
        // start reads it into the scanner's blacklist. One that loaded is no longer named.
        const auto pedal = TrPluginScanner::pedalFile (TrSettings());
        EXPECT_EQ (pedal.loadFileAsString().contains (c.path), c.named) << c.label;

        TrMainWindow window ("TESTRIG");
        auto& main = dynamic_cast<TrMainComponent&> (*window.getContentComponent());
        TrTest::pumpMessages (300);
        EXPECT_FALSE (main.slotManager.slot (0).isLoaded()) << c.label;
        EXPECT_EQ (main.scanner->getBlacklist().contains (c.path), c.named) << c.label;
        EXPECT_FALSE (pedal.exists());
        auto* panel = panelOf (window);
        ASSERT_NE (panel, nullptr) << c.label;
    }
    storeSession ({});
}
