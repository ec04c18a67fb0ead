#include "TrFakePlugin.h"
#include "TrFixtureSlot.h"
#include "TrWavFile.h"
#include "analyzers/TrNullAnalyzer.h"
#include "dsp/TrMiniFft.h"
#include "results/TrErrorTexts.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{
struct Pair
{
    TrSlotManager manager;
    TrPluginSlot& a = manager.slot (0);
    TrPluginSlot& b = manager.slot (1);
};

TrNullResult compare (const juce::StringArray& fixtureA, const juce::StringArray& fixtureB, TrNullAnalyzer::Params params = {})
{
    Pair pair;
    EXPECT_EQ (TrTest::loadFixture (pair.a, fixtureA), "");
    EXPECT_EQ (TrTest::loadFixture (pair.b, fixtureB), "");
    return TrNullAnalyzer::run (pair.a, pair.b, params, nullptr, {});
}

TrNullAnalyzer::Params short4s()
{
    TrNullAnalyzer::Params params;
    params.seconds = 4.0;
    return params;
}

/** Writes a mono 32-bit float WAV of the samples. */
juce::File writeSamples (const juce::String& name, double sampleRate, const std::vector<float>& samples)
{
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
    TrTest::writeWav (file, samples, sampleRate);
    return file;
}

/** Pink noise at about -20 dBFS RMS with nothing below 20 Hz or above 20 kHz. */
juce::File bandLimitedPink (const juce::String& name, double sampleRate, double seconds)
{
    const auto n = 1 << static_cast<int> (std::ceil (std::log2 (seconds * sampleRate)));
    std::mt19937 rng (11);
    std::normal_distribution<double> white (0.0, 1.0);
    std::vector<std::complex<double>> spectrum (static_cast<size_t> (n / 2 + 1));
    for (int k = 1; k < n / 2; ++k)
    {
        const auto hz = k * sampleRate / n;
        if (hz >= 20.0 && hz <= 20000.0)
            spectrum[static_cast<size_t> (k)] = std::complex<double> (white (rng), white (rng)) / std::sqrt (hz);
    }

    const auto time = minifft::inverseRealSpectrum (spectrum, n);
    std::vector<float> samples (static_cast<size_t> (seconds * sampleRate));
    double power = 0.0;
    for (size_t i = 0; i < samples.size(); ++i)
        power += time[i] * time[i];
    const auto scale = 0.1 / std::sqrt (power / static_cast<double> (samples.size()));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float> (scale * time[i]);

    return writeSamples (name, sampleRate, samples);
}

juce::File writeWav (const juce::String& name, double sampleRate, double seconds, float amplitude)
{
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
    file.deleteFile();

    juce::AudioBuffer<float> buffer (1, static_cast<int> (seconds * sampleRate));
    juce::Random random (7);
    for (int i = 0; i < buffer.getNumSamples(); ++i)
        buffer.setSample (0, i, amplitude * (random.nextFloat() * 2.0f - 1.0f));

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file), sampleRate, 1, 24, {}, 0));
    writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
    return file;
}
}

TEST (NullTest, IdenticalPluginsCancelToTheFloor)
{
    const auto r = compare ({}, {});
    ASSERT_EQ (r.error, "");
    EXPECT_LT (r.nullDepthDb, -120.0);
    EXPECT_NEAR (r.matchGainDb, 0.0, 1e-6);
    EXPECT_NEAR (r.latencyDeltaSamples, 0.0, 1e-4);
    EXPECT_EQ (r.signalName, "pink noise");
    EXPECT_EQ (r.verdictText, "Identical - they cancel to silence");
    EXPECT_EQ (r.nameA, "TESTRIG Fixture");
    EXPECT_EQ (r.freqHz.size(), 1024u);
    EXPECT_EQ (r.specDiffDb.size(), 1024u);
    EXPECT_EQ (r.residual.size(), 8u * 48000u);
}

TEST (NullTest, LoudnessAndDelayAreMatchedBeforeSubtracting)
{
    const struct
    {
        const char* label;
        juce::StringArray b;
        double matchGainDb;
        double gainTolerance;
        double latencyDelta;
        double deltaTolerance;
        double deeperThanDb;
    } cases[] {
        { "B 1 dB louder", { "Mode=Gain", "Gain=1" }, -1.0, 0.01, 0.0, 1e-4, -100.0 },
        { "B 6 dB louder", { "Mode=Gain", "Gain=6" }, -6.0, 0.01, 0.0, 1e-4, -100.0 },
        { "B 37 samples later", { "Delay=37" }, 0.0, 0.01, 37.0, 1e-4, -100.0 },
        // Half a sample is realigned by a 64-tap interpolator, whose error at high frequencies
        // (as the fixture's own) bounds the null.
        { "B 31.5 samples later", { "Mode=Half sample" }, 0.0, 0.1, 31.5, 0.05, -20.0 },
    };

    for (const auto& c : cases)
    {
        const auto r = compare ({}, c.b, short4s());
        ASSERT_EQ (r.error, "") << c.label;
        EXPECT_NEAR (r.matchGainDb, c.matchGainDb, c.gainTolerance) << c.label;
        EXPECT_NEAR (r.latencyDeltaSamples, c.latencyDelta, c.deltaTolerance) << c.label;
        EXPECT_LT (r.nullDepthDb, c.deeperThanDb) << c.label;
    }
}

TEST (NullTest, ADistortingPluginNullsShallowly)
{
    const auto r = compare ({}, { "Mode=Soft clip", "Drive=4" }, short4s());
    ASSERT_EQ (r.error, "");
    EXPECT_GT (r.nullDepthDb, -40.0);
    EXPECT_LT (r.nullDepthDb, -5.0);
}

TEST (NullTest, FilesAreReadResampledAndRefusedWhenUnusable)
{
    const auto at44k = writeWav ("testrig-null-44k.wav", 44100.0, 2.0, 0.25f);
    const auto tooShort = writeWav ("testrig-null-short.wav", 48000.0, 0.5, 0.25f);
    const auto notAudio = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("testrig-null.txt");
    ASSERT_TRUE (notAudio.replaceWithText ("no audio here"));

    const struct
    {
        const char* label;
        juce::String file;
        juce::String error;
        juce::String signalName;
    } cases[] {
        { "resampled", at44k.getFullPathName(), "", "testrig-null-44k.wav (resampled from 44100 Hz)" },
        { "too short", tooShort.getFullPathName(), "test signal is too short", "" },
        { "not audio", notAudio.getFullPathName(), "could not read testrig-null.txt", "" },
        { "missing: pink noise", "/nonexistent/file.wav", "", "pink noise" },
        { "a folder: pink noise", "/tmp", "", "pink noise" },
    };

    for (const auto& c : cases)
    {
        auto params = short4s();
        params.file = c.file;
        const auto r = compare ({}, {}, params);
        EXPECT_EQ (r.error, c.error) << c.label;
        if (c.error.isEmpty())
        {
            EXPECT_EQ (r.signalName, c.signalName) << c.label;
            EXPECT_LT (r.nullDepthDb, -100.0) << c.label;
        }
    }

    for (const auto& f : { at44k, tooShort, notAudio })
        f.deleteFile();
}

TEST (NullTest, TwoSilentOutputsAreNotCalledDifferent)
{
    const auto r = compare ({ "Mode=Mute" }, { "Mode=Mute" }, short4s());
    EXPECT_EQ (r.error, "both plugins put out silence - there is nothing to compare");
}

TEST (NullTest, EmptySlotsNonFiniteOutputAndCancelFail)
{
    Pair pair;
    ASSERT_EQ (TrTest::loadFixture (pair.a), "");
    EXPECT_EQ (TrNullAnalyzer::run (pair.a, pair.b, short4s(), nullptr, {}).error, "NULL / AB needs plugins in both slot A and slot B");

    ASSERT_EQ (TrTest::loadFixture (pair.b, { "Mode=NaN" }), "");
    EXPECT_EQ (TrNullAnalyzer::run (pair.a, pair.b, short4s(), nullptr, {}).error, "a plugin produced non-finite output (NaN/inf)");
    EXPECT_EQ (TrNullAnalyzer::run (pair.a, pair.b, short4s(), nullptr, [] { return true; }).error, TrErrorText::aborted);
}

TEST (NullTest, HalfASampleApartTheSamePinkNoiseNullsDeeply)
{
    // B is A's wire behind an ideal half-sample delay: a 2047-tap Kaiser-windowed sinc, flat and
    // exact to far below -100 dB. Both sides carry the same pink noise, band-limited to 20 kHz,
    // so only the alignment can keep them from cancelling.
    constexpr int taps = 2047;
    std::vector<double> h (taps);
    for (int i = 0; i < taps; ++i)
    {
        const auto t = i - (taps - 1) / 2 - 0.5;
        const auto x = 2.0 * (i + 0.5) / taps - 1.0;
        h[static_cast<size_t> (i)] = std::sin (M_PI * t) / (M_PI * t) * std::cyl_bessel_i (0.0, 12.0 * std::sqrt (std::max (0.0, 1.0 - x * x)))
                                   / std::cyl_bessel_i (0.0, 12.0);
    }

    Pair pair;
    pair.a.instance = std::make_unique<TrTest::FakePlugin>();
    auto late = std::make_unique<TrTest::FakePlugin>();
    auto history = std::make_shared<std::vector<double>> (taps, 0.0);
    auto position = std::make_shared<size_t> (0);
    late->onProcess = [h, history, position] (juce::AudioBuffer<float>& buffer) {
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            (*history)[*position] = buffer.getSample (0, i);
            double y = 0.0;
            for (size_t k = 0; k < h.size(); ++k)
                y += h[k] * (*history)[(*position + h.size() - k) % h.size()];
            *position = (*position + 1) % h.size();
            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                buffer.setSample (ch, i, static_cast<float> (y));
        }
    };
    pair.b.instance = std::move (late);

    auto params = short4s();
    params.file = bandLimitedPink ("TrNullBandLimitedPink.wav", 48000.0, 4.0).getFullPathName();
    const auto r = TrNullAnalyzer::run (pair.a, pair.b, params, nullptr, {});
    ASSERT_EQ (r.error, "");
    EXPECT_NEAR (r.latencyDeltaSamples, (taps - 1) / 2 + 0.5, 0.001);
    EXPECT_NEAR (r.matchGainDb, 0.0, 0.05);
    EXPECT_LT (r.nullDepthDb, -60.0);
}

TEST (NullTest, WholeOffsetsAndLevelsBelowTheLoudnessGateNullDeeply)
{
    const struct
    {
        const char* label;
        juce::StringArray a, b;
        double delta, match;
        bool byRms;
    } cases[] {
        { "a whole sample apart", { "Mode=Half sample" }, { "Mode=Half sample", "Delay=1" }, 1.0, 0.0, false },
        // -18 dBFS noise 55 dB down is below the loudness gate: matched by plain level.
        { "55 dB quieter", {}, { "Mode=Gain", "Gain=-55" }, 0.0, 55.0, true },
        { "45 dB quieter", {}, { "Mode=Gain", "Gain=-45" }, 0.0, 45.0, false },
    };

    for (const auto& c : cases)
    {
        const auto r = compare (c.a, c.b, short4s());
        ASSERT_EQ (r.error, "") << c.label;
        EXPECT_NEAR (r.latencyDeltaSamples, c.delta, 0.01) << c.label;
        EXPECT_NEAR (r.matchGainDb, c.match, 0.05) << c.label;
        EXPECT_EQ (r.matchedByRms, c.byRms) << c.label;
        EXPECT_LT (r.nullDepthDb, -60.0) << c.label;
    }
}
