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

    EXPECT_NEAR (r.thresholdDb, 6.0, 1e-6) << "the top step when nothing is reduced";
    EXPECT_NEAR (r.ratio, 1.0, 0.01);
    EXPECT_NEAR (r.makeupDb, 0.0, 0.01);
    EXPECT_EQ (r.kneeDb, 0.0);
    EXPECT_EQ (r.attackMs, -1.0);
    EXPECT_EQ (r.releaseMs, -1.0);
    EXPECT_EQ (r.burstLowDb, -30.0) << "no compression: the set burst levels";
}

TEST (Dynamics, AKnownCompressorIsMeasuredDirectAndThroughItsSidechain)
{
    for (const auto sidechain : { false, true })
    {
        TrDynamicsAnalyzer::Params params;
        params.externalSidechain = sidechain;
        const auto r = measure (compressor, params, sidechain ? "TestrigSidechain" : "TestrigFixture");
        const auto label = sidechain ? "sidechain" : "direct";

        ASSERT_EQ (r.error, "") << label;
        EXPECT_NEAR (r.thresholdDb, -20.0, 0.5) << label;
        EXPECT_NEAR (r.ratio, 4.0, 0.2) << label;
        EXPECT_NEAR (r.makeupDb, 2.0, 0.5) << label;
        EXPECT_NEAR (r.attackMs, 20.0, 2.0) << label;
        EXPECT_NEAR (r.releaseMs, 128.0, 12.8) << label;
        EXPECT_LE (r.kneeDb, 2.0) << label << ": a hard knee, within a step or so";
        EXPECT_NEAR (r.burstLowDb, -32.0, 0.5) << label << ": automatic levels 12 dB either side of the threshold";
        EXPECT_NEAR (r.burstHighDb, -8.0, 0.5) << label;
        EXPECT_EQ (r.externalSidechain, sidechain);
    }
}

TEST (Dynamics, ASoftKneeShowsAsAKnee)
{
    auto soft = compressor;
    soft.set (3, "Knee=12");
    const auto knee = measure (soft);
    ASSERT_EQ (knee.error, "");
    EXPECT_GT (knee.kneeDb, 4.0);
    EXPECT_LT (knee.kneeDb, 12.0);
    EXPECT_NEAR (knee.ratio, 4.0, 0.2);
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
