#include "results/TrChecksRecords.h"
#include "results/TrCurveRecords.h"
#include "results/TrDynamicsRecords.h"
#include "results/TrHarmonicsRecords.h"
#include "results/TrNullRecords.h"
#include "results/TrPerfRecords.h"

#include <gtest/gtest.h>

TEST (Records, DefaultsCarryTheNotMeasuredSentinels)
{
    const TrHarmonicsResult harmonics;
    EXPECT_TRUE (harmonics.error.isEmpty());
    EXPECT_EQ (harmonics.thdDb, -999.0);
    EXPECT_EQ (harmonics.truePeakDb, -999.0);
    EXPECT_EQ (harmonics.repeatDeltaDb, -1.0);
    EXPECT_EQ (harmonics.channelName, "left");
    EXPECT_TRUE (harmonics.spectrumDb.empty());

    EXPECT_EQ (TrCurveResult().repeatabilityDb, -1.0);
    EXPECT_EQ (TrCurveResult().phaseDevFlatDeg, -1.0);
    EXPECT_EQ (TrDynamicsResult().attackMs, -1.0);
    EXPECT_EQ (TrNullResult().diffPeakDbfs, -999.0);
    EXPECT_EQ (TrChecksResult().selfNoiseDbfs, -999.0);
    EXPECT_EQ (TrPerfResult().denormalRatio, 1.0);
    EXPECT_EQ (TrImdResult().d3Db, -999.0);
    EXPECT_EQ (TrThdSweepResult().harmonicDb.size(), 4u);
}

TEST (Records, EveryParameterRecordIsFullyInitialised)
{
    EXPECT_EQ (TrChecksParams().sampleRate, 48000.0);
    EXPECT_EQ (TrChecksParams().toneHz, 997.0);
    EXPECT_EQ (TrThdSweepParams().points, 31);
    EXPECT_EQ (TrPerfParams().blockSizes, (std::vector<int> { 32, 64, 128, 256, 512, 1024 }));
    EXPECT_EQ (TrDynamicsParams().stepDb, 1.5);
    EXPECT_EQ (TrCurveParams().points, 2048);
    EXPECT_TRUE (TrNullParams().file.isEmpty());
    EXPECT_EQ (TrImdParams().fftSize, 65536);
    EXPECT_EQ (TrHarmonicsParams().channel, TrChannelMode::left);
}

TEST (Records, CopiesAndMovesKeepEveryField)
{
    TrThdSweepResult sweep;
    sweep.slotIndex = 1;
    sweep.pluginName = "P";
    sweep.x = { 1.0f, 2.0f };
    sweep.harmonicDb[3] = { -40.0f, -41.0f };
    sweep.channelName = "side";

    const auto copy = sweep;
    const auto moved = std::move (sweep);
    for (const auto* r : { &copy, &moved })
    {
        EXPECT_EQ (r->slotIndex, 1);
        EXPECT_EQ (r->pluginName, "P");
        EXPECT_EQ (r->x, (std::vector<float> { 1.0f, 2.0f }));
        EXPECT_EQ (r->harmonicDb[3], (std::vector<float> { -40.0f, -41.0f }));
        EXPECT_EQ (r->channelName, "side");
    }
}
