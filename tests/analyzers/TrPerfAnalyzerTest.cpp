#include "TrFakePlugin.h"
#include "TrFixtureModes.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrPerfAnalyzer.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

// Timings come from a shared, noisy machine: these tests assert orderings and ratios between
// plugins measured in the same run, never absolute times.

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrPerfAnalyzer::Params quick()
{
    TrPerfAnalyzer::Params params;
    params.seconds = 0.5;
    params.silenceSeconds = 1.0;
    params.blockSizes = { 64, 256, 1024 };
    return params;
}

TrPerfResult measure (const juce::StringArray& fixture, const TrPerfAnalyzer::Params& params = quick())
{
    Bench bench;
    EXPECT_EQ (TrTest::loadFixture (bench.slot, fixture), "");
    return TrPerfAnalyzer::run (bench.slot, params, nullptr, {});
}

/** A few milliseconds the machine gives another process during one block size's run move that
    size's plain mean, and the fitted split with it. A method that is wrong is wrong in every
    run; an interrupted run is measured again, at most three times in all. */
TrPerfResult measureUntil (const juce::StringArray& fixture, const std::function<bool (const TrPerfResult&)>& clear,
                           const TrPerfAnalyzer::Params& params = quick())
{
    auto r = measure (fixture, params);
    for (int attempt = 1; attempt < 3 && r.error.isEmpty() && ! clear (r); ++attempt)
        r = measure (fixture, params);
    return r;
}

bool perSampleDominates (const TrPerfResult& r) { return r.perSampleNs * 1024.0 > 4.0 * r.perBlockUs * 1000.0; }
bool perCallDominates (const TrPerfResult& r) { return r.perBlockUs * 1000.0 > 4.0 * r.perSampleNs * 1024.0; }
bool nearLinear (const TrPerfResult& r) { return std::abs (r.trimmedNsPerSample[0] / r.trimmedNsPerSample[2] - 1.0) <= 0.5; }

// 100 us of spinning per 64-sample call, which lasts 1.333 ms of audio: at least 7.5 % of real
// time, whatever the machine.
bool perCallShare (const TrPerfResult& r) { return r.percentRealtime[0] >= 7.5 && r.percentRealtime[0] < 15.0; }
}

TEST (PerfAnalyzer, PerSampleWorkShowsInTheSlopeAndPerCallWorkInTheIntercept)
{
    const auto wire = measure ({});
    const auto busy = measureUntil ({ "Mode=Busy" }, [] (const auto& r) { return perSampleDominates (r) && nearLinear (r); });
    const auto perCall = measureUntil ({ "Mode=Per call" }, [] (const auto& r) { return perCallDominates (r) && perCallShare (r); });
    ASSERT_EQ (wire.error + busy.error + perCall.error, "");

    // Busy: fixed work per sample, so the cost grows with the block and the slope carries it.
    EXPECT_GT (busy.perSampleNs, 10.0 * std::max (1.0, wire.perSampleNs));
    EXPECT_TRUE (perSampleDominates (busy)) << busy.perSampleNs << " ns/smp, " << busy.perBlockUs << " us/call";
    // The usual block (trimmed of the few a busy machine preempts) costs about the same per
    // sample at every size.
    EXPECT_TRUE (nearLinear (busy)) << busy.trimmedNsPerSample[0] << " against " << busy.trimmedNsPerSample[2] << " ns/smp";

    // Per call: about 100 us per call whatever the block, so the intercept carries it.
    EXPECT_GT (perCall.perBlockUs, 20.0 * std::max (1.0, wire.perBlockUs));
    EXPECT_TRUE (perCallDominates (perCall)) << perCall.perSampleNs << " ns/smp, " << perCall.perBlockUs << " us/call";
    EXPECT_GT (perCall.nsPerSample[0], 4.0 * perCall.nsPerSample[2]) << "small blocks pay the call cost more often";

    EXPECT_EQ (busy.blockSizes, (std::vector<float> { 64.0f, 256.0f, 1024.0f }));
    EXPECT_EQ (busy.percentRealtime.size(), 3u);
    EXPECT_TRUE (perCallShare (perCall)) << perCall.percentRealtime[0] << " % at 64 samples";
}

TEST (PerfAnalyzer, ADenormalProneFilterIsFlaggedAndTheWireIsNot)
{
    const auto denormal = measure ({ "Mode=Denormal" });
    ASSERT_EQ (denormal.error, "");
    EXPECT_GT (denormal.denormalRatio, 4.0);

    // A wire costs next to nothing, so its block times are mostly timer noise: it must still
    // never read as denormal trouble.
    auto params = quick();
    params.blockSizes = { 512 };
    for (int run = 0; run < 5; ++run)
    {
        const auto wire = measure ({}, params);
        ASSERT_EQ (wire.error, "");
        EXPECT_LT (wire.denormalRatio, 4.0) << "run " << run;
    }
}

TEST (PerfAnalyzer, WithoutBlock512TheFiguresComeFromTheLastSizeAndOneSizeGivesNoSplit)
{
    auto params = quick();
    params.blockSizes = { 128 };
    const auto r = measure ({ "Mode=Busy" }, params);

    ASSERT_EQ (r.error, "");
    EXPECT_FLOAT_EQ (static_cast<float> (r.nsPerSampleAt512), r.nsPerSample.back());
    EXPECT_EQ (r.worst512BlockMs, 0.0);
    EXPECT_EQ (r.perSampleNs, 0.0);
    EXPECT_EQ (r.perBlockUs, 0.0);

    params.blockSizes = { 512, 64 };
    const auto with512 = measure ({}, params);
    EXPECT_GT (with512.worst512BlockMs, 0.0);
    EXPECT_FLOAT_EQ (static_cast<float> (with512.nsPerSampleAt512), with512.nsPerSample[0]);
}

TEST (PerfAnalyzer, ThePluginIsHandedBackPreparedAsTheSlotSaysOnEveryPath)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        TrCancel cancel;
        juce::String error;
    } cases[] {
        { "completed", {}, {}, {} },
        { "cancelled", {}, [] { return true; }, TrErrorText::aborted },
        { "NaN output", { "Mode=NaN" }, {}, TrErrorText::nonFinite },
    };

    for (const auto& c : cases)
    {
        Bench bench;
        ASSERT_EQ (TrTest::loadFixture (bench.slot, c.fixture), "");
        bench.slot.prepare (44100.0, 96);

        auto params = quick();
        params.sampleRate = 44100.0;
        const auto r = TrPerfAnalyzer::run (bench.slot, params, nullptr, c.cancel);

        EXPECT_EQ (r.error, c.error) << c.label;
        EXPECT_EQ (bench.slot.instance->getSampleRate(), 44100.0) << c.label;
        EXPECT_EQ (bench.slot.instance->getBlockSize(), 96) << c.label;
        EXPECT_EQ (bench.slot.instance->getTotalNumInputChannels(), 2) << c.label;
    }
}

TEST (PerfAnalyzer, AnEmptySlotAndUnusableBlockSizesAreRefused)
{
    Bench bench;
    EXPECT_EQ (TrPerfAnalyzer::run (bench.slot, quick(), nullptr, {}).error, TrErrorText::noPlugin);

    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");
    auto params = quick();
    params.blockSizes = { 64, 0 };
    EXPECT_TRUE (TrPerfAnalyzer::run (bench.slot, params, nullptr, {}).error.contains ("block size"));
}

TEST (PerfAnalyzer, WorkDoneOnceAFrameIsCountedInFullAtSmallBlocks)
{
    // The same work every 1024 samples costs the same per sample at every block size. At 32
    // samples only one block in 32 does it: a mean that trims the slowest 5 % of blocks would
    // leave all of it out.
    auto params = quick();
    params.blockSizes = { 32, 1024 };
    const auto countedInFull = [] (const TrPerfResult& r) { return r.nsPerSample[0] > 0.5 * r.nsPerSample[1]; };
    const auto r = measureUntil ({ "Mode=Framed" }, countedInFull, params);
    ASSERT_EQ (r.error, "");
    EXPECT_TRUE (countedInFull (r)) << r.nsPerSample[0] << " ns/smp at 32 samples, " << r.nsPerSample[1] << " at 1024";
    // The trimmed mean is the usual block, kept as jitter: the frame's work, 100 us per 1024
    // samples, is (nearly) all left out of it, however slow the usual block is in this build.
    const auto frameNsPerSample = TrFixtureModes::perCallMicroseconds * 1000.0 / 1024.0;
    EXPECT_LT (r.trimmedNsPerSample[0], r.nsPerSample[0] - 0.8 * frameNsPerSample);
    EXPECT_EQ (r.worstBlockSize, r.nsPerSample[0] > r.nsPerSample[1] ? 32 : 1024);
}

TEST (PerfAnalyzer, ABlockSizeAtWhichThePluginDidNotProcessIsLeftOut)
{
    // Below 64 samples the plugin passes the tone on untouched and does no work: that row says
    // nothing about its cost, and neither the fit nor the verdict may use it.
    auto params = quick();
    params.blockSizes = { 32, 64, 256, 1024 };
    const auto r = measure ({ "Mode=Idle below" }, params);
    ASSERT_EQ (r.error, "");
    EXPECT_EQ (r.notProcessing, std::vector<int> { 32 });
    EXPECT_EQ (r.worstBlockSize, 64) << "the dearest size that processed";
    EXPECT_NEAR (r.worstPercentRealtime, r.percentRealtime[1], 1e-3);
    EXPECT_GT (r.perBlockUs, 50.0) << "the fit over 64..1024 finds the 100 us per call";

    const auto wire = measure ({}, params);
    EXPECT_TRUE (wire.notProcessing.empty()) << "a wire passes everything on everywhere: nothing to tell apart";
}
