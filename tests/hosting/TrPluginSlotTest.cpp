#include "TrFakePlugin.h"
#include "TrTestPaths.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

namespace
{
juce::String notAPlugin (const juce::File& f)
{
    return "Not a plugin: " + f.getFullPathName() + " - give a .vst3 or .lv2 bundle, or an LV2 plugin URI";
}

struct SlotFixture : ::testing::Test
{
    SlotFixture()
    {
        manager.onSlotsChanged = [this] { ++changes; };
    }

    TrSlotManager manager;
    TrPluginSlot& a = manager.slot (0);
    int changes = 0;
};
}

TEST_F (SlotFixture, TheManagerHoldsSlotsAAndBWithTheirDefaults)
{
    ASSERT_EQ (manager.slots.size(), 2);
    EXPECT_EQ (manager.slot (0).index, 0);
    EXPECT_EQ (manager.slot (1).index, 1);
    EXPECT_EQ (a.sampleRate, 48000.0);
    EXPECT_EQ (a.blockSize, 512);
    EXPECT_TRUE (a.visible);
    EXPECT_FALSE (a.isLoaded());

    ASSERT_EQ (manager.formatManager.getNumFormats(), 2);
    EXPECT_EQ (manager.formatManager.getFormat (0)->getName(), "LV2");
    EXPECT_EQ (manager.formatManager.getFormat (1)->getName(), "VST3");
}

TEST_F (SlotFixture, LoadFailuresGiveTheirExactTextsAndLeaveTheSlotUnchanged)
{
    const auto emptyFolder = juce::File::createTempFile ("");
    ASSERT_TRUE (emptyFolder.createDirectory());
    const auto emptyBundle = juce::File::createTempFile (".vst3");
    ASSERT_TRUE (emptyBundle.createDirectory());
    const auto emptyLv2 = juce::File::createTempFile (".lv2");
    ASSERT_TRUE (emptyLv2.createDirectory());
    const auto plugins = juce::File (TESTRIG_FIXTURES_DIR);
    const auto textFile = juce::File::createTempFile (".txt");
    ASSERT_TRUE (textFile.replaceWithText ("not a plugin"));
    const auto missing = juce::File ("/nonexistent/TESTRIG/Nothing.vst3");

    struct Case
    {
        const char* label;
        juce::String argument;
        juce::String expected;
    };

    const Case cases[] {
        { "empty path", "", "File not found: " },
        { "missing path", missing.getFullPathName(), "File not found: " + missing.getFullPathName() },
        { "plain folder", emptyFolder.getFullPathName(), notAPlugin (emptyFolder) },
        { "folder holding plugins, never searched", plugins.getFullPathName(), notAPlugin (plugins) },
        { "file that is no plugin", textFile.getFullPathName(), notAPlugin (textFile) },
        { "empty .vst3 bundle", emptyBundle.getFullPathName(), "No plugin found at " + emptyBundle.getFullPathName() },
        { "empty .lv2 bundle", emptyLv2.getFullPathName(), "No plugin found at " + emptyLv2.getFullPathName() },
        { "unknown LV2 URI", "urn:testrig:no-such-plugin", "No plugin found at urn:testrig:no-such-plugin" },
    };

    for (const auto& c : cases)
    {
        juce::String error;
        EXPECT_FALSE (a.loadFromArgument (c.argument, error)) << c.label;
        EXPECT_EQ (error, c.expected) << c.label;
        EXPECT_FALSE (a.isLoaded()) << c.label;
    }

    EXPECT_EQ (changes, 0) << "a load that fails before an instance exists does not notify";

    emptyFolder.deleteRecursively();
    emptyBundle.deleteRecursively();
    emptyLv2.deleteRecursively();
    textFile.deleteFile();
}

TEST_F (SlotFixture, AFixtureLoadsStereoPreparedAndNonRealtime)
{
    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;

    EXPECT_EQ (a.description.name, "TESTRIG Fixture");
    EXPECT_EQ (a.pluginFile, TrTest::fixture ("TestrigFixture"));
    EXPECT_EQ (a.instance->getTotalNumInputChannels(), 2);
    EXPECT_EQ (a.instance->getTotalNumOutputChannels(), 2);
    EXPECT_EQ (a.instance->getSampleRate(), 48000.0);
    EXPECT_EQ (a.instance->getBlockSize(), 512);
    EXPECT_TRUE (a.instance->isNonRealtime());
    EXPECT_EQ (changes, 2) << "once from the inner unload, once when installed";
}

TEST_F (SlotFixture, ARelativePathIsReadFromTheWorkingFolder)
{
    const auto bundle = TrTest::fixture ("TestrigFixture");
    const auto previous = juce::File::getCurrentWorkingDirectory();
    bundle.getParentDirectory().setAsCurrentWorkingDirectory();

    juce::String error;
    const auto loaded = a.loadFromArgument (bundle.getFileName(), error);
    previous.setAsCurrentWorkingDirectory();

    ASSERT_TRUE (loaded) << error;
    EXPECT_EQ (a.pluginFile, bundle);
}

TEST_F (SlotFixture, APluginWithoutInputIsRefusedTheSlotLeftEmptyAndTheChangeAnnounced)
{
    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    changes = 0;

    EXPECT_FALSE (a.loadFromFile (TrTest::fixture ("TestrigNoInput"), error));
    EXPECT_EQ (error, "TESTRIG Fixture has no audio input (0 in / 2 out) - there is nothing to send a test signal into");
    EXPECT_FALSE (a.isLoaded());
    EXPECT_TRUE (a.description.name.isEmpty());
    EXPECT_EQ (a.pluginFile, juce::File());
    EXPECT_EQ (changes, 2) << "once from unloading the previous plugin, once when refused";
}

TEST_F (SlotFixture, MonoAndMixedLayoutsArePreparedWithTheirOwnChannels)
{
    const struct
    {
        const char* bundle;
        int inputs, outputs;
        const char* layout;
    } cases[] {
        { "TestrigFixture", 2, 2, "stereo" },
        { "TestrigMono", 1, 1, "mono" },
        { "TestrigMonoToStereo", 1, 2, "mono to stereo" },
        { "TestrigStereoToMono", 2, 1, "stereo to mono" },
    };

    for (const auto& c : cases)
    {
        juce::String error;
        ASSERT_TRUE (a.loadFromFile (TrTest::fixture (c.bundle), error)) << c.bundle << ": " << error;
        a.prepare (44100.0, 64);
        EXPECT_EQ (a.instance->getMainBusNumInputChannels(), c.inputs) << c.bundle;
        EXPECT_EQ (a.instance->getMainBusNumOutputChannels(), c.outputs) << c.bundle;
        EXPECT_EQ (slotLayoutName (a), c.layout);
    }

    a.unload();
    EXPECT_EQ (slotLayoutName (a), "");
}

TEST_F (SlotFixture, ReplacingAPluginNotifiesTwiceAndAFailedCreationKeepsTheOldOne)
{
    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    EXPECT_EQ (changes, 4);

    juce::PluginDescription gone;
    gone.name = "Gone";
    gone.pluginFormatName = "VST3";
    gone.fileOrIdentifier = "/nonexistent/Gone.vst3";

    EXPECT_FALSE (a.loadFromDescription (gone, error));
    EXPECT_TRUE (error.isNotEmpty());
    EXPECT_TRUE (a.isLoaded());
    EXPECT_EQ (a.description.name, "TESTRIG Fixture");
    EXPECT_EQ (changes, 4);
}

TEST_F (SlotFixture, UnloadEmptiesTheSlotAndAlwaysNotifies)
{
    a.unload();
    EXPECT_EQ (changes, 1);

    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    a.unload();
    EXPECT_FALSE (a.isLoaded());
    EXPECT_TRUE (a.description.name.isEmpty());
    EXPECT_EQ (a.pluginFile, juce::File());
    EXPECT_EQ (changes, 4);
}

TEST_F (SlotFixture, PrepareRePreparesThePluginAtTheNewRateAndBlockSizeWithoutNotifying)
{
    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    changes = 0;

    a.prepare (96000.0, 64);

    EXPECT_EQ (a.sampleRate, 96000.0);
    EXPECT_EQ (a.blockSize, 64);
    EXPECT_EQ (a.instance->getSampleRate(), 96000.0);
    EXPECT_EQ (a.instance->getBlockSize(), 64);
    EXPECT_EQ (a.instance->getTotalNumInputChannels(), 2);
    EXPECT_TRUE (a.instance->isNonRealtime());
    EXPECT_EQ (changes, 0);
}

TEST_F (SlotFixture, ALaterLoadUsesThePreparedRateAndBlockSize)
{
    a.prepare (44100.0, 128);

    juce::String error;
    ASSERT_TRUE (a.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    EXPECT_EQ (a.instance->getSampleRate(), 44100.0);
    EXPECT_EQ (a.instance->getBlockSize(), 128);
}

TEST (Layout, APluginNeedsAudioBothWaysAndAMonoSideFacesOneOrTwoChannels)
{
    const struct
    {
        int inputs, outputs;
        juce::String refusal;
    } cases[] {
        { 2, 2, "" },
        { 1, 1, "" },
        { 1, 2, "" },
        { 2, 1, "" },
        { 6, 6, "" }, // measured on its first two channels
        { 4, 2, "" },
        { 0, 2, "P has no audio input (0 in / 2 out) - there is nothing to send a test signal into" },
        { 2, 0, "P has no audio output (2 in / 0 out) - there is no sound to measure" },
        { 1, 3, "P has a 1 in / 3 out layout, which cannot be measured: a mono input is measured into one or two outputs" },
        { 8, 1, "P has a 8 in / 1 out layout, which cannot be measured: a mono output is measured from one or two inputs" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (layoutRefusal ("P", c.inputs, c.outputs), c.refusal) << c.inputs << "/" << c.outputs;

    TrTest::FakePlugin mono ({}, juce::AudioChannelSet::mono());
    TrTest::FakePlugin surround ({}, juce::AudioChannelSet::create5point1());
    TrTest::FakePlugin monoToQuad ({}, juce::AudioChannelSet::mono(), juce::AudioChannelSet::quadraphonic());

    juce::String error;
    EXPECT_TRUE (verifyLayout (mono, "Mono", error));
    EXPECT_TRUE (verifyLayout (surround, "Surround", error));
    EXPECT_FALSE (verifyLayout (monoToQuad, "Quad", error));
    EXPECT_EQ (error, "Quad has a 1 in / 4 out layout, which cannot be measured: a mono input is measured into one or two outputs");
}
