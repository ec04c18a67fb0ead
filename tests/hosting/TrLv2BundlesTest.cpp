#include "TrTestPaths.h"
#include "hosting/TrLv2Bundles.h"
#include "hosting/TrLv2Probe.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "hosting/TrReportedLatency.h"
#include "dsp/TrSinkRender.h"
#include "hosting/TrSlotManager.h"
#include "verdicts/TrVerdict.h"

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

    ASSERT_TRUE (manager.slot (0).loadFromArgument ("/usr/lib/lv2/ZamCompX2.lv2", error)) << error << " (needs Debian's zam-plugins)";
    ASSERT_TRUE (manager.slot (1).loadFromArgument ("urn:zamaudio:ZamCompX2", error)) << error << " (needs Debian's zam-plugins)";

    EXPECT_EQ (manager.slot (0).description.fileOrIdentifier, "urn:zamaudio:ZamCompX2");
    EXPECT_EQ (manager.slot (0).description.name, manager.slot (1).description.name);
    EXPECT_EQ (manager.slot (1).pluginFile, juce::File()) << "a URI is not a file";
}

namespace
{
juce::File lv2Set()
{
    return juce::File (TESTRIG_FIXTURES_DIR).getChildFile ("TestrigLv2Set.lv2");
}

/** Loads one plugin of the fixture set by its URI, the bundle made known first. */
juce::String loadFromSet (TrSlotManager& manager, const juce::String& uri)
{
    TrLv2Bundles::plugins (manager.formatManager, lv2Set());
    juce::String error;
    manager.slot (0).loadFromArgument (uri, error);
    return error;
}
}

TEST (Lv2Bundles, ABundleOfSeveralLoadsItsOnlyStereoPluginAndAnAmbiguousOneNamesItsPlugins)
{
    TrSlotManager manager;
    juce::String error;
    ASSERT_TRUE (manager.slot (0).loadFromFile (lv2Set(), error)) << error;
    EXPECT_EQ (manager.slot (0).description.fileOrIdentifier, "urn:testrig:fixtures:lv2-late-latency");

    const auto meters = juce::File ("/usr/lib/lv2/meters.lv2");
    ASSERT_TRUE (meters.isDirectory()) << "needs Debian's x42-plugins, which the test scripts install";
    EXPECT_FALSE (manager.slot (1).loadFromFile (meters, error));
    EXPECT_TRUE (error.startsWith ("/usr/lib/lv2/meters.lv2 holds ")) << error;
    EXPECT_TRUE (error.contains ("http://gareus.org/oss/lv2/meters#")) << error;
    EXPECT_TRUE (error.endsWith (") - give the URI of the one to measure")) << error;
}

TEST (Lv2Bundles, ALatencyPortWrittenOnlyWhileRunningIsReadAfterOneBlock)
{
    TrSlotManager manager;
    ASSERT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-late-latency"), "");
    auto& plugin = *manager.slot (0).instance;
    plugin.reset();
    EXPECT_EQ (plugin.getLatencySamples(), 0) << "nothing written before the plugin runs";
    EXPECT_EQ (latencyBeforeAudio (plugin, 512), 64);

    const auto checks = TrChecksAnalyzer::run (manager.slot (0), {}, nullptr, {});
    ASSERT_EQ (checks.error, "");
    EXPECT_EQ (checks.reportedLatency, 64);
    EXPECT_EQ (checks.reportedLatencyAfter, 64);
    EXPECT_NEAR (checks.measuredLatency, 64.0, 0.01);
    EXPECT_EQ (TrVerdict::forChecks (checks).text, "Honest plugin: latency, bypass, polarity, DC and noise all check out");
}

TEST (Lv2Bundles, EveryInputOfAFourInputPluginGetsABuffer)
{
    TrSlotManager manager;
    ASSERT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-quad"), "");
    auto& slot = manager.slot (0);
    EXPECT_EQ (slot.instance->getTotalNumInputChannels(), 4);

    std::vector<double> capture;
    juce::String error;
    const auto tone = [] (long long n) { return 0.5 * std::sin (0.01 * static_cast<double> (n)); };
    ASSERT_TRUE (renderCapture (*slot.instance, 512, TrChannelMode::left, 0, 2048, tone, capture, error, {}, {})) << error;
    for (size_t i = 0; i < capture.size(); ++i)
        ASSERT_NEAR (capture[i], tone (static_cast<long long> (i)), 1e-6) << "the second pair is fed silence";

    // The same after the bus layout was set again, as the cost measurement does per block size.
    slot.prepare (48000.0, 64);
    ASSERT_TRUE (renderCapture (*slot.instance, 64, TrChannelMode::left, 0, 256, tone, capture, error, {}, {})) << error;
}

TEST (Lv2Bundles, PluginsThatCannotBeMeasuredAreRefusedBeforeOrAfterAnInstanceShowsTheirBuses)
{
    TrSlotManager manager;
    EXPECT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-fragile"),
               "TESTRIG LV2 Fragile crashes (Aborted) when an instance that never ran is freed, which the LV2 host does each "
               "time it prepares the plugin - it cannot be measured");
    const auto sloppy = loadFromSet (manager, "urn:testrig:fixtures:lv2-sloppy");
    EXPECT_TRUE (sloppy.startsWith ("TESTRIG LV2 Sloppy crashes (")) << sloppy;
    EXPECT_TRUE (sloppy.endsWith (") when an instance that never ran is freed, which the LV2 host does each time it prepares the plugin - it cannot be measured"))
        << sloppy;
    EXPECT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-cv"),
               "TESTRIG LV2 CV has 1 control-voltage port, which the LV2 host cannot connect - the plugin would read unconnected memory");
    EXPECT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-triple"),
               "TESTRIG LV2 Triple has a 1 in / 3 out layout, which cannot be measured: a mono input is measured into one or two outputs");
    EXPECT_FALSE (manager.slot (0).isLoaded());

    juce::String error;
    EXPECT_FALSE (manager.slot (1).loadFromArgument ("http://gareus.org/oss/lv2/xfade", error)) << "needs Debian's x42-plugins";
    EXPECT_EQ (error, "Stereo DJ X-Fade has 4 audio inputs and 2 outputs, of which the LV2 host can connect only 2 and 2 - "
                      "the plugin would read unconnected memory");
}

TEST (Lv2Bundles, AMonoPluginIsMeasuredOnItsOneChannel)
{
    TrSlotManager manager;
    ASSERT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-mono"), "");
    auto& slot = manager.slot (0);
    EXPECT_EQ (slotLayoutName (slot), "mono");

    const auto tone = [] (long long n) { return 0.5 * std::sin (0.01 * static_cast<double> (n)); };
    for (const auto mode : { TrChannelMode::left, TrChannelMode::right, TrChannelMode::mid })
    {
        std::vector<double> capture;
        juce::String error;
        ASSERT_TRUE (renderCapture (*slot.instance, 512, mode, 0, 2048, tone, capture, error, {}, {})) << error;
        for (size_t i = 0; i < capture.size(); ++i)
            ASSERT_NEAR (capture[i], tone (static_cast<long long> (i)), 1e-6) << channelModeName (mode);
    }
}

TEST (Lv2Bundles, ASidechainPortInTheMainBusIsNoInputOfTheMeasurement)
{
    TrSlotManager manager;
    ASSERT_EQ (loadFromSet (manager, "urn:testrig:fixtures:lv2-keyed"), "");
    auto& slot = manager.slot (0);
    EXPECT_EQ (slotLayoutName (slot), "mono") << "its key comes first in the main bus";

    // The plugin subtracts its key from its input: only an untouched key leaves the tone whole.
    const auto tone = [] (long long n) { return 0.5 * std::sin (0.01 * static_cast<double> (n)); };
    std::vector<double> capture;
    juce::String error;
    ASSERT_TRUE (renderCapture (*slot.instance, 512, TrChannelMode::left, 0, 2048, tone, capture, error, {}, {})) << error;
    for (size_t i = 0; i < capture.size(); ++i)
        ASSERT_NEAR (capture[i], tone (static_cast<long long> (i)), 1e-6);

    // Fed on purpose, the key reaches the plugin.
    TrSinkRender keyed { *slot.instance, 512, TrChannelMode::left, tone };
    bool nonFinite = false;
    double largest = 0.0;
    ASSERT_TRUE (keyed.render (2048, tone, [&] (long long, double v) { largest = std::max (largest, std::abs (v)); }, {}, {}, nonFinite));
    EXPECT_LT (largest, 1e-6);
}

TEST (Lv2Probe, APluginIsOnlyGivenTheBlockLengthsItDeclares)
{
    // x42's convolver declares 64 to 8192 samples and fails to start outside them; the balance
    // plugin declares nothing.
    const juce::String convolver = "http://gareus.org/oss/lv2/convoLV2#Mono";
    const juce::String balance = "http://gareus.org/oss/lv2/balance";
    const struct
    {
        const juce::String& uri;
        int samples;
        bool taken;
    } cases[] { { convolver, 32, false }, { convolver, 64, true }, { convolver, 8192, true }, { convolver, 16384, false },
                { balance, 32, true }, { balance, 16384, true } };

    for (const auto& c : cases)
        EXPECT_EQ (TrLv2Probe::takesBlockLength (c.uri, {}, c.samples), c.taken) << c.uri << " at " << c.samples;
}
