#include "TrTestPaths.h"
#include "hosting/TrLv2Bundles.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

namespace
{
const juce::String wireUri = "urn:testrig:fixtures:lv2-wire";

juce::File lv2Fixture()
{
    return juce::File (TESTRIG_FIXTURES_DIR).getChildFile ("TestrigLv2Wire.lv2");
}
}

TEST (Lv2Bundles, IdentifiersAreToldFromPaths)
{
    const struct
    {
        const char* text;
        bool identifier;
    } cases[] {
        { "http://lsp-plug.in/plugins/lv2/compressor_stereo", true },
        { "urn:zamaudio:ZamCompX2", true },
        { "https://example.org/a#b", true },
        { "/usr/lib/lv2/fil4.lv2", false },
        { "fil4.lv2", false },
        { "./urn:thing", false },
        { ":nothing", false },
        { "1abc:x", false },
        { "", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrLv2Bundles::looksLikeIdentifier (c.text), c.identifier) << c.text;
}

TEST (Lv2Bundles, ABundleOutsideTheDefaultFoldersNamesItsPlugin)
{
    TrSlotManager manager;
    const auto found = TrLv2Bundles::plugins (manager.formatManager, lv2Fixture());
    ASSERT_EQ (found.size(), 1u);
    EXPECT_EQ (found.front().uri, wireUri);
    EXPECT_EQ (found.front().audioInputs, 2);
    EXPECT_EQ (found.front().audioOutputs, 2);
}

TEST (Lv2Bundles, ABundlePathLoadsAndProcessesAudio)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);

    juce::String error;
    ASSERT_TRUE (slot.loadFromFile (lv2Fixture(), error)) << error;
    EXPECT_EQ (slot.description.name, "TESTRIG LV2 Wire");
    EXPECT_EQ (slot.description.fileOrIdentifier, wireUri);
    EXPECT_EQ (slot.pluginFile, lv2Fixture());

    juce::AudioBuffer<float> buffer (2, slot.blockSize);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, 0.25f * static_cast<float> (ch + 1));

    juce::MidiBuffer midi;
    slot.instance->processBlock (buffer, midi);

    EXPECT_FLOAT_EQ (buffer.getSample (0, 100), 0.25f);
    EXPECT_FLOAT_EQ (buffer.getSample (1, 100), 0.5f);
}

TEST (Lv2Bundles, AnInstalledPluginLoadsByBundlePathAndByUri)
{
    TrSlotManager manager;
    juce::String error;

    ASSERT_TRUE (manager.slot (0).loadFromArgument ("/usr/lib/lv2/ZamCompX2.lv2", error)) << error;
    ASSERT_TRUE (manager.slot (1).loadFromArgument ("urn:zamaudio:ZamCompX2", error)) << error;

    EXPECT_EQ (manager.slot (0).description.fileOrIdentifier, "urn:zamaudio:ZamCompX2");
    EXPECT_EQ (manager.slot (0).description.name, manager.slot (1).description.name);
    EXPECT_EQ (manager.slot (1).pluginFile, juce::File()) << "a URI is not a file";
}
