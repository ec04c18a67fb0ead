#include "TrFakePlugin.h"
#include "TrTestPaths.h"
#include "dsp/TrRender.h"
#include "hosting/TrSlotManager.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr TrChannelMode allModes[] { TrChannelMode::left, TrChannelMode::right, TrChannelMode::mid, TrChannelMode::side,
                                     TrChannelMode::stereo };

double ramp (long long n)
{
    return 0.001 * static_cast<double> (n % 500) - 0.25;
}

void sumToMono (juce::AudioBuffer<float>& buffer)
{
    for (int i = 0; i < buffer.getNumSamples(); ++i)
    {
        const auto sum = buffer.getSample (0, i) + buffer.getSample (1, i);
        buffer.setSample (0, i, sum);
        buffer.setSample (1, i, sum);
    }
}
}

TEST (ChannelMode, NamesItsModesAndReadsUnknownValuesAsLeft)
{
    const struct
    {
        int value;
        const char* name;
    } cases[] { { 0, "left" }, { 1, "right" }, { 2, "mid" }, { 3, "side" }, { 4, "stereo" }, { 5, "left" }, { -1, "left" } };

    for (const auto& c : cases)
        EXPECT_EQ (channelModeName (static_cast<TrChannelMode> (c.value)), c.name) << c.value;
}

TEST (ChannelRoute, EveryLayoutIsFedAndReadByOneRule)
{
    const auto mono = juce::AudioChannelSet::mono(), stereo = juce::AudioChannelSet::stereo();

    // Each plugin marks its inputs apart: the reading tells which inputs were fed what.
    const struct
    {
        const char* label;
        juce::AudioChannelSet inputs, outputs;
        std::function<void (juce::AudioBuffer<float>&)> process;
        const char* layout;
        double left, right, mid, side; // gain read per mode; NAN where the mode cannot be measured
    } cases[] {
        { "stereo, left doubled", stereo, stereo, [] (juce::AudioBuffer<float>& b) { b.applyGain (0, 0, b.getNumSamples(), 2.0f); },
          "stereo", 2.0, 1.0, 1.5, 1.5 },
        { "mono, doubled", mono, mono, [] (juce::AudioBuffer<float>& b) { b.applyGain (0, 0, b.getNumSamples(), 2.0f); },
          "mono", 2.0, 2.0, 2.0, NAN },
        { "mono to stereo, right 6 dB down", mono, stereo,
          [] (juce::AudioBuffer<float>& b) { b.copyFrom (1, 0, b, 0, 0, b.getNumSamples()); b.applyGain (1, 0, b.getNumSamples(), 0.5f); },
          "mono to stereo", 1.0, 0.5, 0.75, 0.25 },
        { "stereo to mono, a quarter of the left and three of the right", stereo, mono,
          [] (juce::AudioBuffer<float>& b) {
              for (int i = 0; i < b.getNumSamples(); ++i)
                  b.setSample (0, i, 0.25f * b.getSample (0, i) + 0.75f * b.getSample (1, i));
          },
          "stereo to mono", 1.0, 1.0, 1.0, NAN },
    };

    for (const auto& c : cases)
    {
        const struct
        {
            TrChannelMode mode;
            double gain;
        } modes[] { { TrChannelMode::left, c.left }, { TrChannelMode::right, c.right }, { TrChannelMode::mid, c.mid },
                    { TrChannelMode::side, c.side }, { TrChannelMode::stereo, c.left } };

        for (const auto& m : modes)
        {
            TrTest::FakePlugin plugin ({}, c.inputs, c.outputs);
            plugin.prepareToPlay (48000.0, 64);
            EXPECT_EQ (layoutName (mainChannelsOf (plugin)), c.layout) << c.label;

            const auto problem = channelModeProblem (m.mode, mainChannelsOf (plugin));
            EXPECT_EQ (problem, std::isnan (m.gain) ? TrErrorText::noSideOnMonoOutput : juce::String()) << c.label << " " << channelModeName (m.mode);
            if (std::isnan (m.gain))
                continue;

            bool spareChannelWritten = false;
            plugin.onProcess = [&] (juce::AudioBuffer<float>& b) {
                // Beyond a mono input lies a sidechain or nothing: the stimulus must not go there.
                if (c.inputs.size() == 1 && b.getMagnitude (1, 0, b.getNumSamples()) > 0.0f && c.outputs.size() == 1)
                    spareChannelWritten = true;
                c.process (b);
            };

            std::vector<double> capture;
            juce::String error;
            ASSERT_TRUE (renderCapture (plugin, 64, m.mode, 0, 640, ramp, capture, error, {}, {})) << error;
            for (size_t i = 0; i < capture.size(); ++i)
                ASSERT_NEAR (capture[i], m.gain * ramp (static_cast<long long> (i)), 1e-6) << c.label << " " << channelModeName (m.mode) << " " << i;
            EXPECT_FALSE (spareChannelWritten) << c.label;
        }
    }
}

TEST (RenderCapture, AWireReturnsTheStimulusAfterTheSkipInEveryMode)
{
    for (const auto mode : allModes)
    {
        TrTest::FakePlugin wire;
        std::vector<double> capture;
        juce::String error;
        std::atomic<float> progress { 0.0f };

        ASSERT_TRUE (renderCapture (wire, 64, mode, 100, 1000, ramp, capture, error, { &progress, 0.2f, 0.6f }, {}))
            << channelModeName (mode) << ": " << error;

        ASSERT_EQ (capture.size(), 1000u);
        for (size_t i = 0; i < capture.size(); ++i)
            ASSERT_NEAR (capture[i], ramp (100 + static_cast<long long> (i)), 1e-7) << channelModeName (mode) << " " << i;

        EXPECT_FLOAT_EQ (progress.load(), 0.6f);
        EXPECT_EQ (wire.resets.load(), 0) << "the capture does not reset the plugin";
    }
}

TEST (RenderCapture, APluginSummingToMonoCancelsTheSideAndKeepsTheMid)
{
    const struct
    {
        TrChannelMode mode;
        double gain;
    } cases[] { { TrChannelMode::mid, 2.0 }, { TrChannelMode::side, 0.0 }, { TrChannelMode::left, 2.0 } };

    for (const auto& c : cases)
    {
        TrTest::FakePlugin mono;
        mono.onProcess = sumToMono;
        std::vector<double> capture;
        juce::String error;

        ASSERT_TRUE (renderCapture (mono, 128, c.mode, 0, 512, ramp, capture, error, {}, {}));
        for (size_t i = 0; i < capture.size(); ++i)
            ASSERT_NEAR (capture[i], c.gain * ramp (static_cast<long long> (i)), 1e-6) << channelModeName (c.mode);
    }
}

TEST (RenderCapture, ImplausibleNonFiniteAndCancelledRendersFail)
{
    const auto fill = [] (float value) {
        return [value] (juce::AudioBuffer<float>& b) { b.setSample (0, 10, value); };
    };

    const struct
    {
        const char* label;
        std::function<void (juce::AudioBuffer<float>&)> process;
        TrCancel cancel;
        juce::String error;
    } cases[] {
        { "200.0", fill (200.0f), {}, TrErrorText::implausible },
        { "exactly 100.0 is plausible", fill (100.0f), {}, {} },
        { "NaN", fill (std::numeric_limits<float>::quiet_NaN()), {}, TrErrorText::nonFinite },
        { "infinity", fill (std::numeric_limits<float>::infinity()), {}, TrErrorText::nonFinite },
        { "NaN beside 200", [] (juce::AudioBuffer<float>& b) { b.setSample (0, 10, 200.0f); b.setSample (0, 20, NAN); }, {}, TrErrorText::nonFinite },
        { "cancelled", {}, [] { return true; }, TrErrorText::aborted },
    };

    for (const auto& c : cases)
    {
        TrTest::FakePlugin plugin;
        plugin.onProcess = c.process;
        std::vector<double> capture;
        juce::String error;

        EXPECT_EQ (renderCapture (plugin, 64, TrChannelMode::left, 0, 256, ramp, capture, error, {}, c.cancel), c.error.isEmpty())
            << c.label;
        EXPECT_EQ (error, c.error) << c.label;
    }
}

TEST (RenderCapture, FixturePluginsThatOutputNanOrPlus46DbfsFail)
{
    const struct
    {
        const char* mode;
        juce::String error;
    } cases[] { { "NaN", TrErrorText::nonFinite }, { "Hot", TrErrorText::implausible }, { "Wire", {} } };

    for (const auto& c : cases)
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);
        juce::String error;
        ASSERT_TRUE (slot.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
        slot.instance->getParameters()[0]->setValueNotifyingHost (TrTest::fixtureMode (c.mode));

        std::vector<double> capture;
        EXPECT_EQ (renderCapture (*slot.instance, slot.blockSize, TrChannelMode::left, 0, 4096,
                                  [] (long long n) { return 0.5 * std::sin (0.01 * static_cast<double> (n)); }, capture,
                                  error, {}, {}),
                   c.error.isEmpty())
            << c.mode;
        EXPECT_EQ (error, c.error) << c.mode;
    }
}

TEST (RenderThrough, ResetsRendersInputAndTailInEveryModeAndStopsOnCancel)
{
    std::vector<float> input (1000);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<float> (ramp (static_cast<long long> (i)));

    for (const auto mode : allModes)
    {
        TrTest::FakePlugin wire;
        std::vector<float> output;
        std::atomic<float> progress { 0.0f };

        ASSERT_TRUE (renderThrough (wire, 96, input, 300, mode, output, &progress, 0.5f, {}));
        ASSERT_EQ (output.size(), 1300u);
        EXPECT_EQ (wire.resets.load(), 1);
        EXPECT_FLOAT_EQ (progress.load(), 0.95f);

        for (size_t i = 0; i < output.size(); ++i)
            ASSERT_NEAR (output[i], i < input.size() ? input[i] : 0.0f, 1e-7) << channelModeName (mode) << " " << i;
    }

    TrTest::FakePlugin mono;
    mono.onProcess = sumToMono;
    std::vector<float> output;
    ASSERT_TRUE (renderThrough (mono, 96, input, 0, TrChannelMode::side, output, nullptr, 0.0f, {}));
    for (auto v : output)
        ASSERT_EQ (v, 0.0f);

    TrTest::FakePlugin wire;
    EXPECT_FALSE (renderThrough (wire, 96, input, 0, TrChannelMode::left, output, nullptr, 0.0f, [] { return true; }));
}

TEST (TimedRender, TimesTheMeasuredBlocksAndReportsItsFailures)
{
    TrTest::FakePlugin wire;
    TrBlockTiming timing;
    juce::String error;

    ASSERT_TRUE (timedRender (wire, 48000.0, 256, TrChannelMode::side, 1000.0, 0.5, 2560, 25600, timing, error, {})) << error;
    EXPECT_EQ (wire.processCalls.load(), 110);
    EXPECT_GT (timing.meanNsPerSample, 0.0);
    EXPECT_GE (timing.p95NsPerSample, 0.0);
    EXPECT_GE (timing.worstBlockMs * 1e6 / 256, timing.p95NsPerSample);
    EXPECT_TRUE (wire.heardSound.load());

    TrTest::FakePlugin silent;
    ASSERT_TRUE (timedRender (silent, 48000.0, 256, TrChannelMode::left, 1000.0, 0.0, 0, 2560, timing, error, {}));
    EXPECT_FALSE (silent.heardSound.load()) << "amplitude 0 renders silence";

    const struct
    {
        const char* label;
        long long measured;
        std::function<void (juce::AudioBuffer<float>&)> process;
        TrCancel cancel;
        juce::String error;
    } failures[] {
        { "NaN output", 2560, [] (juce::AudioBuffer<float>& b) { b.setSample (0, 3, NAN); }, {}, TrErrorText::nonFinite },
        { "nothing measured", 0, {}, {}, TrErrorText::nothingMeasured },
        { "cancelled", 2560, {}, [] { return true; }, TrErrorText::aborted },
    };

    for (const auto& f : failures)
    {
        TrTest::FakePlugin plugin;
        plugin.onProcess = f.process;
        juce::String failure;
        EXPECT_FALSE (timedRender (plugin, 48000.0, 256, TrChannelMode::left, 1000.0, 0.5, 512, f.measured, timing, failure, f.cancel))
            << f.label;
        EXPECT_EQ (failure, f.error) << f.label;
    }
}

TEST (RenderLoops, ABlockSizeBelowOneFailsInsteadOfSpinning)
{
    TrTest::FakePlugin wire;
    std::vector<double> capture;
    std::vector<float> output;
    TrBlockTiming timing;
    juce::String error;

    EXPECT_FALSE (renderCapture (wire, 0, TrChannelMode::left, 0, 10, ramp, capture, error, {}, {}));
    EXPECT_EQ (error, TrErrorText::invalidBlockSize);
    EXPECT_FALSE (renderThrough (wire, 0, { 1.0f }, 0, TrChannelMode::left, output, nullptr, 0.0f, {}));
    EXPECT_FALSE (timedRender (wire, 48000.0, -5, TrChannelMode::left, 1000.0, 0.5, 0, 100, timing, error, {}));
    EXPECT_EQ (wire.processCalls.load(), 0);
}

TEST (BlockTimes, TheReductionOfDurationsMatchesItsDefinitions)
{
    // Per sample at a 100-sample block: 1 us a block is 10 ns a sample.
    const struct
    {
        const char* label;
        std::vector<double> seconds;
        double mean, trimmed, p95, worstMs;
    } cases[] {
        { "one block", { 1e-6 }, 10.0, 10.0, 10.0, 0.001 },
        // 19 blocks: nothing trimmed (19 / 20 = 0); element floor (0.95 x 19) = 18 is the slowest.
        { "nineteen", std::vector<double> (19, 1e-6), 10.0, 10.0, 10.0, 0.001 },
        // 20 blocks of which one is 21 times slower: the plain mean counts it, the trimmed one
        // drops it, the 95th percentile (element 19) is it.
        { "one slow in twenty", [] { std::vector<double> d (19, 1e-6); d.push_back (21e-6); return d; }(), 20.0, 10.0, 210.0, 0.021 },
        // Unsorted input; 40 blocks trim the two slowest.
        { "two slow in forty", [] { std::vector<double> d (38, 2e-6); d.insert (d.begin() + 5, 40e-6); d.insert (d.begin() + 20, 80e-6); return d; }(),
          (38 * 2.0 + 40.0 + 80.0) / 40.0 * 10.0, 20.0, 400.0, 0.080 },
    };

    for (const auto& c : cases)
    {
        const auto t = reduceBlockTimes (c.seconds, 100);
        EXPECT_NEAR (t.meanNsPerSample, c.mean, 1e-9) << c.label;
        EXPECT_NEAR (t.trimmedNsPerSample, c.trimmed, 1e-9) << c.label;
        EXPECT_NEAR (t.p95NsPerSample, c.p95, 1e-9) << c.label;
        EXPECT_NEAR (t.worstBlockMs, c.worstMs, 1e-12) << c.label;
    }
}
