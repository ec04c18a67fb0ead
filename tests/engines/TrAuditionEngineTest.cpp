#include "TrFakePlugin.h"
#include "TrWavFile.h"
#include "analyzers/TrNullSignal.h"
#include "engines/TrAuditionEngine.h"
#include "results/TrNullRecords.h"

#include <gtest/gtest.h>

#include <cmath>

// The audition callback driven by hand, without a device: what reaches the outputs for each mode,
// match and plugin.

namespace
{
constexpr double rate = 48000.0;
constexpr int block = 512;

using Stereo = std::array<std::vector<float>, 2>;

/** The plugins in the slots, the engine, and the callback driven block by block. */
struct Bench
{
    /** A fake plugin in the slot, prepared as a load prepares it. */
    TrTest::FakePlugin& put (int index, std::function<void (juce::AudioBuffer<float>&)> process = {},
                             const juce::AudioChannelSet& layout = juce::AudioChannelSet::stereo())
    {
        auto fake = std::make_unique<TrTest::FakePlugin> (juce::StringArray(), layout);
        fake->onProcess = std::move (process);
        auto& plugin = *fake;
        auto& slot = slots.slot (index);
        slot.instance = std::move (fake);
        slot.prepare (rate, block);
        return plugin;
    }

    juce::String prepare (TrAuditionEngine::Match match = {}, const juce::String& file = {})
    {
        return engine.prepare (match, file, rate, block);
    }

    /** Plays samples in device blocks of the given size into outputs channels. */
    Stereo play (int mode, int samples, int deviceBlock = block, int outputs = 2)
    {
        engine.mode = mode;
        Stereo out { std::vector<float> (static_cast<size_t> (samples), 7.0f), std::vector<float> (static_cast<size_t> (samples), 7.0f) };
        for (int done = 0; done < samples; done += deviceBlock)
        {
            const auto n = std::min (deviceBlock, samples - done);
            float* channels[] { out[0].data() + done, out[1].data() + done };
            engine.audioDeviceIOCallbackWithContext (nullptr, 0, channels, outputs, n, {});
        }
        return out;
    }

    TrSlotManager slots;
    TrAuditionEngine engine { slots };
};

const std::vector<float>& pink()
{
    static const auto noise = TrNullSignal::pinkNoise (TrAuditionEngine::pinkNoiseSamples, TrNullParams {}.levelDb);
    return noise;
}

/** The pink noise delayed by delay samples and scaled, as sample i should read. */
float expected (int i, int delay, double gain = 1.0)
{
    return i < delay ? 0.0f : static_cast<float> (pink()[static_cast<size_t> (i - delay)] * gain);
}

float worstError (const std::vector<float>& got, int delay, double gain = 1.0)
{
    float worst = 0.0f;
    for (int i = 0; i < static_cast<int> (got.size()); ++i)
        worst = std::max (worst, std::abs (got[static_cast<size_t> (i)] - expected (i, delay, gain)));
    return worst;
}

float peak (const std::vector<float>& x)
{
    float p = 0.0f;
    for (auto v : x)
        p = std::max (p, std::abs (v));
    return p;
}

void scale (juce::AudioBuffer<float>& buffer, int channel, float gain)
{
    buffer.applyGain (channel, 0, buffer.getNumSamples(), gain);
}
}

TEST (Audition, NullResultAlignsAndMatchesB)
{
    const struct
    {
        const char* label;
        double latency, gainDb;
        int delayA, delayB;
    } cases[] {
        { "B behind by 63.6: A waits 64", 63.6, 0.0, 64, 0 },
        { "B ahead by 10.2: B waits 10", -10.2, 0.0, 0, 10 },
        { "B 3 dB quieter", 0.0, -3.0, 0, 0 },
        { "no delay, no match", 0.0, 0.0, 0, 0 },
    };
    for (const auto& c : cases)
    {
        Bench bench;
        bench.put (0);
        bench.put (1);
        ASSERT_EQ (bench.prepare ({ c.gainDb, c.latency }), "") << c.label;
        const auto gainB = std::pow (10.0, c.gainDb / 20.0);

        // Modes switch while playing; the delay lines run on in every mode.
        const auto a = bench.play (TrAuditionEngine::pluginA, 4096);
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_LT (worstError (a[static_cast<size_t> (ch)], c.delayA), 1e-7f) << c.label << " A, channel " << ch;

        const auto b = bench.play (TrAuditionEngine::pluginB, 4096);
        std::vector<float> expectedB;
        for (int i = 4096; i < 8192; ++i)
            expectedB.push_back (expected (i, c.delayB, gainB));
        for (int ch = 0; ch < 2; ++ch)
            for (size_t i = 0; i < expectedB.size(); ++i)
                ASSERT_NEAR (b[static_cast<size_t> (ch)][i], expectedB[i], 1e-7f) << c.label << " B, channel " << ch << ", sample " << i;
    }
}

TEST (Audition, DifferenceOfTwoWiresIsSilenceAndTheDrySignalNeedsNoPlugin)
{
    Bench bench;
    bench.put (0);
    bench.put (1);
    ASSERT_EQ (bench.prepare(), "");
    const auto null = bench.play (TrAuditionEngine::difference, 8192);
    EXPECT_EQ (peak (null[0]), 0.0f);
    EXPECT_EQ (peak (null[1]), 0.0f);
    EXPECT_EQ (bench.engine.outputLevelDb.load(), -120.0f) << "10 log10 (1e-12)";

    // The untouched signal also plays when no slot holds a plugin.
    Bench empty;
    ASSERT_EQ (empty.prepare(), "");
    const auto dry = empty.play (TrAuditionEngine::untouched, 4096);
    EXPECT_EQ (worstError (dry[0], 0), 0.0f);
    EXPECT_EQ (worstError (dry[1], 0), 0.0f);
    EXPECT_EQ (peak (empty.play (TrAuditionEngine::pluginA, 1024)[0]), 0.0f);
    EXPECT_EQ (peak (empty.play (99, 1024)[0]), 0.0f) << "an unknown mode is silence";
}

TEST (Audition, AnEmptySlotBIsSilentAndTheDifferenceIsA)
{
    Bench bench;
    bench.put (0, [] (juce::AudioBuffer<float>& b) { b.applyGain (0.5f); });
    ASSERT_EQ (bench.prepare(), "");
    EXPECT_EQ (peak (bench.play (TrAuditionEngine::pluginB, 2048)[0]), 0.0f);
    const auto difference = bench.play (TrAuditionEngine::difference, 2048);
    for (size_t i = 0; i < difference[0].size(); ++i)
        ASSERT_EQ (difference[0][i], expected (static_cast<int> (i) + 2048, 0, 0.5)) << i;
}

TEST (Audition, StereoStaysStereoAndMonoIsHeardOnBothSides)
{
    // B's channels differ (a widener that inverts the right) and B lags: each channel has its own
    // delay line, so the right is heard inverted, not a copy of the delayed left.
    Bench bench;
    bench.put (0);
    bench.put (1, [] (juce::AudioBuffer<float>& b) { scale (b, 1, -1.0f); });
    ASSERT_EQ (bench.prepare ({ 0.0, -5.0 }), "");
    const auto b = bench.play (TrAuditionEngine::pluginB, 4096);
    for (int i = 0; i < 4096; ++i)
    {
        ASSERT_EQ (b[0][static_cast<size_t> (i)], expected (i, 5)) << i;
        ASSERT_EQ (b[1][static_cast<size_t> (i)], -expected (i, 5)) << i;
    }

    Bench mono;
    mono.put (0, [] (juce::AudioBuffer<float>& buffer) { scale (buffer, 0, 0.25f); }, juce::AudioChannelSet::mono());
    ASSERT_EQ (mono.prepare(), "");
    const auto a = mono.play (TrAuditionEngine::pluginA, 2048);
    EXPECT_LT (worstError (a[0], 0, 0.25), 1e-8f);
    EXPECT_LT (worstError (a[1], 0, 0.25), 1e-8f) << "a mono plugin's output on the right too, not its input";
}

TEST (Audition, NeverMoreSamplesThanPreparedAndAOneChannelDeviceGetsTheLeft)
{
    Bench bench;
    auto& a = bench.put (0, [] (juce::AudioBuffer<float>& b) { scale (b, 1, 0.5f); });
    ASSERT_EQ (bench.prepare(), "");

    // A device that grew its block to 1500 samples: the plugin still sees at most 512.
    const auto out = bench.play (TrAuditionEngine::pluginA, 6000, 1500);
    EXPECT_EQ (a.largestBlock.load(), block);
    EXPECT_EQ (worstError (out[0], 0), 0.0f) << "the pieces join seamlessly";
    EXPECT_LT (worstError (out[1], 0, 0.5), 1e-8f);

    const auto single = bench.play (TrAuditionEngine::pluginA, 1024, block, 1);
    for (size_t i = 0; i < single[0].size(); ++i)
        ASSERT_EQ (single[0][i], expected (static_cast<int> (i) + 6000, 0)) << i;
    EXPECT_EQ (single[1], std::vector<float> (1024, 7.0f)) << "no second channel is written";
}

TEST (Audition, ASwappedOrBusyPluginIsNotPlayed)
{
    Bench bench;
    bench.put (0);
    ASSERT_EQ (bench.prepare(), "");
    EXPECT_FALSE (bench.engine.slotsChanged());

    // Another plugin arrives between the engine's preparation and a block: it was prepared for
    // whatever its load chose, so the callback leaves it alone.
    auto& newcomer = bench.put (0);
    EXPECT_TRUE (bench.engine.slotsChanged());
    EXPECT_EQ (peak (bench.play (TrAuditionEngine::pluginA, 2048)[0]), 0.0f);
    EXPECT_EQ (newcomer.processCalls.load(), 0);

    // A slot whose lock is held elsewhere (an editor, a parameter change) is silent, not waited for.
    Bench busy;
    busy.put (0);
    ASSERT_EQ (busy.prepare(), "");
    juce::WaitableEvent held, release;
    std::thread holder ([&] {
        const juce::ScopedLock sl (busy.slots.slot (0).lock);
        held.signal();
        release.wait (10000);
    });
    held.wait (10000);
    const auto silent = busy.play (TrAuditionEngine::pluginA, 1024);
    const auto dry = busy.play (TrAuditionEngine::untouched, 1024);
    release.signal();
    holder.join();
    EXPECT_EQ (peak (silent[0]), 0.0f);
    EXPECT_EQ (worstError (dry[0], -1024), 0.0f) << "the signal plays on";
    EXPECT_GT (peak (busy.play (TrAuditionEngine::pluginA, 1024)[0]), 0.0f) << "and the plugin once it is free";
}

TEST (Audition, WhatAPluginSendsStaysFiniteAndWithinFullScale)
{
    Bench bench;
    bench.put (0, [] (juce::AudioBuffer<float>& b) {
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            b.setSample (0, i, std::numeric_limits<float>::quiet_NaN());
            b.setSample (1, i, 200.0f);
        }
    });
    ASSERT_EQ (bench.prepare(), "");
    const auto out = bench.play (TrAuditionEngine::pluginA, 1024);
    EXPECT_EQ (peak (out[0]), 0.0f);
    EXPECT_EQ (out[1], std::vector<float> (1024, 1.0f));
}

TEST (Audition, TheTestSignalComesFromTheNullTestsFile)
{
    const auto dir = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("TrAuditionSignals");
    dir.deleteRecursively();
    dir.createDirectory();
    const auto garbage = dir.getChildFile ("garbage.wav");
    garbage.replaceWithText ("not a sound file");
    const auto empty = dir.getChildFile ("empty.wav");
    TrTest::writeWav (empty, {}, 48000);
    const auto ramp = dir.getChildFile ("ramp.wav");
    std::vector<float> rampSamples;
    for (int i = 0; i < 1000; ++i)
        rampSamples.push_back (static_cast<float> (i) / 1000.0f);
    TrTest::writeWav (ramp, rampSamples, 48000);

    const struct
    {
        const char* label;
        juce::String file;
        const char* error;
    } cases[] {
        { "no file: pink noise", {}, "" },
        { "a missing file: pink noise", dir.getChildFile ("missing.wav").getFullPathName(), "" },
        { "a folder: pink noise", dir.getFullPathName(), "" },
        { "undecodable", garbage.getFullPathName(), "could not read garbage.wav" },
        { "no samples: nothing to loop over", empty.getFullPathName(), "empty.wav holds no audio" },
        { "a short file loops", ramp.getFullPathName(), "" },
    };
    for (const auto& c : cases)
    {
        Bench bench;
        EXPECT_EQ (bench.prepare ({}, c.file), c.error) << c.label;
    }

    Bench bench;
    ASSERT_EQ (bench.prepare ({}, ramp.getFullPathName()), "");
    const auto out = bench.play (TrAuditionEngine::untouched, 2500);
    for (int i = 0; i < 2500; ++i)
        ASSERT_NEAR (out[0][static_cast<size_t> (i)], (i % 1000) / 1000.0f, 1e-6f) << i;
    dir.deleteRecursively();
}
