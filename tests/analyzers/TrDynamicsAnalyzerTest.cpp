#include "TrFixtureSlot.h"
#include "analyzers/TrDynamicsAnalyzer.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrDynamicsResult measure (const juce::StringArray& fixture, TrDynamicsAnalyzer::Params params = {},
                          const juce::String& bundle = "TestrigFixture")
{
    Bench bench;
    EXPECT_EQ (TrTest::loadFixture (bench.slot, fixture, bundle), "");
    return TrDynamicsAnalyzer::run (bench.slot, params, nullptr, {});
}

const juce::StringArray compressor { "Mode=Compressor", "Threshold=-20", "Ratio=4", "Knee=0", "Makeup=2", "Attack=20", "Release=128" };
}

TEST (Dynamics, AWireIsOneToOneWithoutTimes)
{
    const auto r = measure ({});
    ASSERT_EQ (r.error, "");
    ASSERT_EQ (r.inDb.size(), 45u);
    for (size_t s = 0; s < r.inDb.size(); ++s)
        EXPECT_NEAR (r.outDb[s], r.inDb[s], 0.01) << r.inDb[s];

    EXPECT_EQ (r.shape, "linear");
    EXPECT_NEAR (r.thresholdDb, 6.0, 1e-6) << "the top step when nothing is reduced";
    EXPECT_NEAR (r.ratio, 1.0, 0.01);
    EXPECT_NEAR (r.makeupDb, 0.0, 0.01);
    EXPECT_EQ (r.kneeDb, 0.0);
    EXPECT_EQ (r.attackMs, -1.0);
    EXPECT_EQ (r.releaseMs, -1.0);
    EXPECT_EQ (r.burstLowDb, -30.0) << "no compression: the set burst levels";
}

TEST (Dynamics, KnownCompressorsReadTheirSettingsDirectAndThroughTheSidechain)
{
    // Times are those of the fixture's one-pole smoothing in dB: 63 % of a step after the
    // attack constant, 37 % left after the release constant. The tolerances leave no room for
    // a 5 % bias or another release criterion.
    const struct
    {
        const char* label;
        double threshold, ratio, knee, makeup, attack, release;
    } cases[] {
        { "-20 dB 4:1", -20.0, 4.0, 0.0, 2.0, 64.0, 128.0 },
        { "-32 dB 2:1, 6 dB knee", -32.0, 2.0, 6.0, 0.0, 40.0, 256.0 },
        { "-12 dB 16:1, limiter-like", -12.0, 16.0, 12.0, 4.0, 64.0, 512.0 },
        { "-40 dB 8:1, 24 dB knee", -40.0, 8.0, 24.0, -3.0, 48.0, 1024.0 },
    };

    // A mono plugin's sidechain follows its one main input, where a stereo one's follows two.
    const struct
    {
        const char* bundle;
        bool sidechain;
    } plugins[] { { "TestrigFixture", false }, { "TestrigSidechain", true }, { "TestrigMono", false }, { "TestrigMonoSidechain", true } };

    for (const auto& [bundle, sidechain] : plugins)
    {
        for (const auto& c : cases)
        {
            TrDynamicsAnalyzer::Params params;
            params.externalSidechain = sidechain;
            const auto r = measure ({ "Mode=Compressor", "Threshold=" + juce::String (c.threshold), "Ratio=" + juce::String (c.ratio),
                                      "Knee=" + juce::String (c.knee), "Makeup=" + juce::String (c.makeup),
                                      "Attack=" + juce::String (c.attack), "Release=" + juce::String (c.release) },
                                    params, bundle);
            const auto label = juce::String (c.label) + " " + bundle + (sidechain ? " via the sidechain" : " direct");

            ASSERT_EQ (r.error, "") << label;
            EXPECT_EQ (r.shape, "compressor") << label;
            EXPECT_NEAR (r.thresholdDb, c.threshold, 0.15) << label;
            EXPECT_NEAR (r.ratio, c.ratio, 0.02 * c.ratio) << label;
            EXPECT_NEAR (r.kneeDb, c.knee, 0.5) << label;
            EXPECT_NEAR (r.makeupDb, c.makeup, 0.05) << label;
            EXPECT_NEAR (r.attackMs, c.attack, 1.0 + 0.01 * c.attack) << label;
            EXPECT_NEAR (r.releaseMs, c.release, 3.0 + 0.01 * c.release) << label;
            EXPECT_EQ (r.externalSidechain, sidechain) << label;
        }
    }
}

TEST (Dynamics, AutomaticBurstLevelsLieTwelveDecibelsEitherSideOfTheThreshold)
{
    const auto r = measure (compressor);
    ASSERT_EQ (r.error, "");
    EXPECT_NEAR (r.burstLowDb, -32.0, 0.2);
    EXPECT_NEAR (r.burstHighDb, -8.0, 0.2);
}

TEST (Dynamics, KneesAreReadAsTheirFullWidth)
{
    for (const auto knee : { 0.0, 6.0, 12.0, 24.0 })
    {
        auto soft = compressor;
        soft.set (3, "Knee=" + juce::String (knee));
        const auto r = measure (soft);
        ASSERT_EQ (r.error, "") << knee;
        EXPECT_NEAR (r.kneeDb, knee, 0.3) << knee;
        EXPECT_NEAR (r.thresholdDb, -20.0, 0.1) << knee;
        EXPECT_NEAR (r.ratio, 4.0, 0.08) << knee;
    }
}

TEST (Dynamics, LatencyShiftsEveryWindowAndChangesNoFigure)
{
    auto late = compressor;
    late.add ("Delay=24000");
    const auto r = measure (late);
    ASSERT_EQ (r.error, "");
    EXPECT_EQ (r.delaySamples, 24000);
    EXPECT_NEAR (r.thresholdDb, -20.0, 0.1);
    EXPECT_NEAR (r.ratio, 4.0, 0.08);
    EXPECT_NEAR (r.kneeDb, 0.0, 0.3);
    EXPECT_NEAR (r.makeupDb, 2.0, 0.05);
    EXPECT_NEAR (r.attackMs, 20.0, 1.2);
    EXPECT_NEAR (r.releaseMs, 128.0, 4.3);
}

TEST (Dynamics, ShapesWithoutACompressorPrintNoImpossibleFigures)
{
    const auto saturator = measure ({ "Mode=Soft clip", "Drive=2" });
    ASSERT_EQ (saturator.error, "");
    EXPECT_LT (saturator.attackMs, saturator.timeResolutionMs) << "a memoryless curve acts within the first frame";
    EXPECT_LT (saturator.releaseMs, saturator.timeResolutionMs);

    const auto gain = measure ({ "Mode=Gain", "Gain=-9" });
    ASSERT_EQ (gain.error, "");
    EXPECT_EQ (gain.shape, "linear");
    EXPECT_NEAR (gain.makeupDb, -9.0, 0.01);
    EXPECT_EQ (gain.attackMs, -1.0);

    EXPECT_EQ (measure ({ "Mode=Mute" }).error, TrErrorText::silentOutput);
    EXPECT_EQ (measure ({ "Mode=Hot" }).error, TrErrorText::implausible);
}

TEST (Dynamics, SidechainFailuresLeaveTheLayoutAsItWas)
{
    TrDynamicsAnalyzer::Params params;
    params.externalSidechain = true;

    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot, compressor), "");
    EXPECT_EQ (TrDynamicsAnalyzer::run (bench.slot, params, nullptr, {}).error, "plugin has no sidechain input bus");

    Bench sidechain;
    ASSERT_EQ (TrTest::loadFixture (sidechain.slot, compressor, "TestrigSidechain"), "");
    const auto before = sidechain.slot.instance->getBusesLayout();
    ASSERT_EQ (TrDynamicsAnalyzer::run (sidechain.slot, params, nullptr, {}).error, "");
    EXPECT_TRUE (sidechain.slot.instance->getBusesLayout() == before);
    EXPECT_EQ (sidechain.slot.instance->getTotalNumInputChannels(), 2);

    EXPECT_EQ (TrDynamicsAnalyzer::run (sidechain.slot, params, nullptr, [] { return true; }).error, TrErrorText::aborted);
    EXPECT_TRUE (sidechain.slot.instance->getBusesLayout() == before) << "restored after a cancel too";
}

TEST (Dynamics, FailuresAreReported)
{
    EXPECT_EQ (measure ({ "Mode=NaN" }).error, TrErrorText::nonFinite);

    Bench bench;
    EXPECT_EQ (TrDynamicsAnalyzer::run (bench.slot, {}, nullptr, {}).error, TrErrorText::noPlugin);

    TrDynamicsAnalyzer::Params params;
    params.stepDb = 0.0;
    EXPECT_TRUE (measure ({}, params).error.contains ("step"));
}
