#include "TrFixtureSlot.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "engines/TrLiveEngine.h"
#include "results/TrErrorTexts.h"
#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
using Mode = TrLiveSettings::Mode;

TrLiveSettings settingsFor (Mode mode)
{
    TrLiveSettings s;
    s.mode = mode;
    if (mode == Mode::curve)
        s.levelDb = -12.0;
    return s;
}

/** Waits until the test holds (checked every 20 ms); false after the limit. */
bool within (int limitMs, const std::function<bool()>& holds)
{
    for (int waited = 0; waited <= limitMs; waited += 20)
    {
        if (holds())
            return true;
        juce::Thread::sleep (20);
    }
    return false;
}

/** The fixture in A (and B when given), prepared as the window prepares for live. */
struct Live
{
    explicit Live (const juce::StringArray& a, const std::optional<juce::StringArray>& b = std::nullopt)
    {
        EXPECT_EQ (TrTest::loadFixture (slots.slot (0), a), "");
        if (b.has_value())
        {
            EXPECT_EQ (TrTest::loadFixture (slots.slot (1), *b), "");
        }
    }

    TrSlotManager slots;
    std::unique_ptr<TrLiveEngine> engine = std::make_unique<TrLiveEngine> (slots);
};

double maxAbsDeviation (const std::vector<float>& values, double from, double to, const std::vector<float>& freq)
{
    double worst = 0.0;
    for (size_t i = 0; i < values.size(); ++i)
        if (freq[i] >= from && freq[i] <= to)
            worst = std::max (worst, std::abs (static_cast<double> (values[i])));
    return worst;
}
}

TEST (LiveStimulus, TonesSitOnTheirBinAndWholePeriods)
{
    const struct
    {
        double frequencyHz, sampleRate;
        int bin, period;
    } cases[] {
        { 1000.0, 48000.0, 341, 48 },
        { 5.0, 48000.0, 3, 2400 },       // the scope's 20 Hz floor; 1.7 rounds to the odd 3
        { 30000.0, 48000.0, 8191, 4 },   // the bin is capped; a period under 5 samples becomes 4
        { 997.0, 44100.0, 371, 44 },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (TrLiveStimulus::harmonicsBin (c.frequencyHz, c.sampleRate), c.bin) << c.frequencyHz;
        EXPECT_EQ (TrLiveStimulus::scopePeriod (c.frequencyHz, c.sampleRate), c.period) << c.frequencyHz;
    }

    // The harmonics tone keeps its exact phase however long it runs: sample 10^9 lies on the sine.
    TrLiveSettings s = settingsFor (Mode::harmonics);
    float late[4];
    const std::int64_t n0 = 1000000000;
    TrLiveStimulus::fill (late, 4, n0, s, 341, 48, {});
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR (late[i], std::pow (10.0, -6.0 / 20.0) * std::sin (2.0 * juce::MathConstants<double>::pi * std::fmod ((n0 + i) * 341.0, 16384.0) / 16384.0), 1e-6);

    // The multisine peaks at its level and has every bin from 1 to 2047 at one magnitude.
    const auto m = TrLiveStimulus::Multisine::build (-12.0);
    float peak = 0.0f;
    for (auto v : m.samples)
        peak = std::max (peak, std::abs (v));
    EXPECT_NEAR (peak, std::pow (10.0, -12.0 / 20.0), 1e-6);
    EXPECT_NEAR (m.magnitude[1] / m.magnitude[1000], 1.0, 1e-3);
    EXPECT_LT (m.magnitude[0], 1e-3);
}

TEST (LiveFrames, ADynamicsSweepWithoutARangeStillHasItsOneLevel)
{
    TrLiveSettings s = settingsFor (Mode::dynamics);
    s.sweepLowDb = s.sweepHighDb = -20.0;
    TrLiveStream stream;
    std::vector<float> block (TrLiveEngine::blockSize);
    for (std::int64_t n = 0; n < 48000; n += TrLiveEngine::blockSize)
    {
        TrLiveStimulus::fill (block.data(), TrLiveEngine::blockSize, n, s, 341, 48, {});
        stream.write (block.data(), TrLiveEngine::blockSize);
        TrLiveFrames::trackDynamics (stream, block.data(), TrLiveEngine::blockSize, s);
    }
    const auto r = TrLiveFrames::dynamics (stream, 0, s);
    ASSERT_TRUE (r.has_value());
    ASSERT_EQ (r->inDb.size(), 1u);
    EXPECT_EQ (r->inDb[0], -20.0f);
    EXPECT_NEAR (r->outDb[0], -20.0f, 0.1f);
    EXPECT_EQ (r->ratio, 1.0) << "fewer than eight levels: no ratio is read";
}

TEST (LiveEngine, TheWiresCurveIsFlatAndDelaysReadAsTheyAre)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        double delay;
    } cases[] {
        { "wire", { "Mode=Wire" }, 0.0 },
        { "37 samples", { "Mode=Wire", "Delay=37" }, 37.0 },
        { "5000 samples, beyond one period", { "Mode=Wire", "Delay=5000" }, 5000.0 },
    };
    for (const auto& c : cases)
    {
        Live live (c.fixture);
        live.engine->setSettings (settingsFor (Mode::curve));
        ASSERT_TRUE (within (4000, [&] { return ! live.engine->curveResults().empty(); })) << c.label;
        const auto r = live.engine->curveResults().front();
        EXPECT_EQ (r.slotIndex, 0);
        EXPECT_EQ (r.pluginName, "TESTRIG Fixture");
        EXPECT_LT (maxAbsDeviation (r.magDb, 20.0, 20000.0, r.freqHz), 0.1) << c.label;
        EXPECT_NEAR (r.gainAt1kDb, 0.0, 0.1) << c.label;
        EXPECT_NEAR (r.measuredLatency, c.delay, 0.5) << c.label;
        EXPECT_LT (maxAbsDeviation (r.phaseDeg, 20.0, 20000.0, r.freqHz), 5.0) << c.label << ": the delay leaves the phase";
        EXPECT_FALSE (TrVerdict::forCurve (r).text.containsIgnoreCase ("delay wrong")) << TrVerdict::forCurve (r).text;
        EXPECT_GE (r.freqHz.front(), 20.0f);
        EXPECT_TRUE (within (1000, [&] { return ! live.engine->curveResults().front().latencyUnclear; }))
            << c.label << ": a steady delay is judged from the second frame on";
    }

    // A plugin that gives nothing back has no response, as offline.
    Live mute ({ "Mode=Mute" });
    mute.engine->setSettings (settingsFor (Mode::curve));
    ASSERT_TRUE (within (4000, [&] { return ! mute.engine->curveResults().empty(); }));
    EXPECT_EQ (mute.engine->curveResults().front().error, TrErrorText::silentOutput);
}

TEST (LiveEngine, TheSoftClippersThdAgreesWithTheOfflineMeasurement)
{
    Live live ({ "Mode=Soft clip", "Drive=2" });
    TrHarmonicsAnalyzer::Params offlineParams;
    const auto offline = TrHarmonicsAnalyzer::run (live.slots.slot (0), offlineParams, nullptr, {});
    ASSERT_EQ (offline.error, "");

    live.slots.slot (0).prepare (48000.0, TrLiveEngine::blockSize);
    live.engine->setSettings (settingsFor (Mode::harmonics));
    ASSERT_TRUE (within (4000, [&] { return ! live.engine->harmonicsResults().empty(); }));
    const auto r = live.engine->harmonicsResults().front();
    EXPECT_EQ (r.bin, 341);
    EXPECT_NEAR (r.frequencyHz, 999.0234, 1e-3);
    EXPECT_NEAR (r.thdDb, offline.thdDb, 1.0);
    EXPECT_EQ (r.truePeakDb, TrSentinel::notMeasuredDb);
}

TEST (LiveEngine, TheFixtureCompressorsCurveReadsItsThresholdAndRatio)
{
    Live live ({ "Mode=Compressor", "Threshold=-20", "Ratio=4", "Knee=0", "Makeup=0", "Attack=0", "Release=20" });
    live.engine->setSettings (settingsFor (Mode::dynamics));
    // One 4 s sweep up and down at real-time pace, then some.
    ASSERT_TRUE (within (12000, [&] {
        const auto list = live.engine->dynamicsResults();
        return ! list.empty() && list.front().inDb.size() >= 80;
    }));
    const auto r = live.engine->dynamicsResults().front();
    EXPECT_NEAR (r.thresholdDb, -20.0, 1.5);
    EXPECT_NEAR (r.ratio, 4.0, 0.5);
    EXPECT_EQ (r.shape, "compressor");
}

TEST (LiveEngine, TheScopeLinesTheOutputUpWithTheInputPastTheReportedLatency)
{
    Live live ({ "Mode=Invert", "Delay=64" });
    live.engine->setSettings (settingsFor (Mode::scope));
    ASSERT_TRUE (within (3000, [&] { return ! live.engine->scopeResults().empty(); }));
    const auto r = live.engine->scopeResults().front();
    ASSERT_EQ (r.outputWave.size(), 4u * 48u);
    EXPECT_EQ (r.latencySamples, 64);
    EXPECT_NEAR (r.frequencyHz, 1000.0, 1e-9);
    EXPECT_EQ (r.inputWave[0], 0.0f) << "every window starts at zero phase";
    for (size_t i = 0; i < r.outputWave.size(); ++i)
        ASSERT_NEAR (r.outputWave[i], -r.inputWave[i], 1e-5) << i;
    EXPECT_NEAR (r.outputPeakDb, -6.0, 0.01);
}

TEST (LiveEngine, TwoWiresNullToSilenceOnceBArrivesAndDelaysReadWithTheirSign)
{
    Live live ({ "Mode=Wire" });
    live.engine->setSettings (settingsFor (Mode::nullTest));
    juce::Thread::sleep (500);
    EXPECT_TRUE (live.engine->nullResults().empty()) << "no null with one plugin";

    EXPECT_EQ (TrTest::loadFixture (live.slots.slot (1), { "Mode=Wire" }), "");
    ASSERT_TRUE (within (1000, [&] {
        const auto list = live.engine->nullResults();
        return ! list.empty() && list.front().nullDepthDb < -90.0;
    })) << "B loaded during a live null stays in step with A";
    auto r = live.engine->nullResults().front();
    EXPECT_EQ (TrVerdict::forNull (r).text, "Identical - they cancel to silence");
    EXPECT_EQ (r.signalName, "pink noise (live)");

    // B 10 samples late without saying so: the delay difference reads +10, and it still nulls.
    EXPECT_EQ (TrTest::setParameters (*live.slots.slot (1).instance, { "Delay=10", "Latency report=Offset", "Latency offset=-10" }), "");
    live.slots.slot (1).prepare (48000.0, TrLiveEngine::blockSize);
    ASSERT_TRUE (within (2000, [&] {
        const auto list = live.engine->nullResults();
        return ! list.empty() && list.front().latencyDeltaSamples == 10.0 && list.front().nullDepthDb < -90.0;
    })) << (live.engine->nullResults().empty() ? juce::String ("nothing") : juce::String (live.engine->nullResults().front().latencyDeltaSamples));
}

TEST (LiveEngine, ABusySlotRestartsTheAnalysisAndAnUnloadedOneLosesItsResults)
{
    Live live ({ "Mode=Wire" }, juce::StringArray { "Mode=Wire" });
    live.engine->setSettings (settingsFor (Mode::scope));
    ASSERT_TRUE (within (3000, [&] { return live.engine->scopeResults().size() == 2; }));

    // A test thread holds B's lock, as an editor or a load does.
    const auto before = live.engine->framesPublished();
    {
        const juce::ScopedLock busy (live.slots.slot (1).lock);
        juce::Thread::sleep (300);
        EXPECT_EQ (live.engine->scopeResults().size(), 2u) << "what was published stays while it restarts";
    }
    ASSERT_TRUE (within (3000, [&] { return live.engine->framesPublished() > before + 2; })) << "results resume";

    live.slots.slot (1).unload();
    ASSERT_TRUE (within (500, [&] { return live.engine->scopeResults().size() == 1; }));
    EXPECT_EQ (live.engine->scopeResults().front().slotIndex, 0);
}

TEST (LiveEngine, NewSettingsDropWhatWasPublishedAndOffEmptiesEverything)
{
    Live live ({ "Mode=Wire" });
    live.engine->setSettings (settingsFor (Mode::scope));
    ASSERT_TRUE (within (3000, [&] { return ! live.engine->scopeResults().empty(); }));

    live.engine->setSettings (settingsFor (Mode::harmonics));
    EXPECT_TRUE (live.engine->scopeResults().empty()) << "nothing of the old settings shows as live";
    ASSERT_TRUE (within (4000, [&] { return ! live.engine->harmonicsResults().empty(); }));

    live.engine->setSettings (settingsFor (Mode::off));
    EXPECT_TRUE (within (50, [&] { return live.engine->harmonicsResults().empty(); }));

    const auto started = juce::Time::getMillisecondCounterHiRes();
    live.engine.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 3000.0) << "the thread ends on its own";
}

TEST (LiveEngine, ALoopFileThatCannotBeReadLeavesPinkNoiseAndSaysWhy)
{
    Live live ({ "Mode=Wire" }, juce::StringArray { "Mode=Wire" });
    const auto bad = juce::File::createTempFile (".wav");
    bad.replaceWithText ("RIFF\x01\x00\x00\x00WAVEfmt not really");
    auto s = settingsFor (Mode::nullTest);
    s.filePath = bad.getFullPathName();
    live.engine->setSettings (s);
    ASSERT_TRUE (within (3000, [&] { return ! live.engine->nullResults().empty(); }));
    const auto r = live.engine->nullResults().front();
    EXPECT_TRUE (r.signalName.startsWith ("pink noise (live) - ")) << r.signalName;
    EXPECT_LT (r.nullDepthDb, -90.0);
    bad.deleteFile();
}
