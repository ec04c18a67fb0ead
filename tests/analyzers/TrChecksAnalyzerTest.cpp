#include "TrFakePlugin.h"
#include "TrFixtureSlot.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "results/TrErrorTexts.h"
#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Bench
{
    TrSlotManager manager;
    TrPluginSlot& slot = manager.slot (0);
};

TrChecksResult check (const juce::StringArray& fixture)
{
    Bench bench;
    EXPECT_EQ (TrTest::loadFixture (bench.slot, fixture), "");
    return TrChecksAnalyzer::run (bench.slot, {}, nullptr, {});
}
}

TEST (Checks, AWireIsHonestInEveryRespect)
{
    const auto r = check ({});
    ASSERT_EQ (r.error, "");
    EXPECT_NEAR (r.measuredLatency, 0.0, 0.01);
    EXPECT_EQ (r.reportedLatency, 0);
    EXPECT_EQ (r.reportedLatencyAfter, 0);
    EXPECT_FALSE (r.latencyAtSearchLimit);
    EXPECT_FALSE (r.polarityInverted);
    EXPECT_EQ (r.dcIdleDbfs, -240.0);
    EXPECT_EQ (r.selfNoiseDbfs, -240.0);
    EXPECT_LT (r.dcSignalDbfs, -100.0);
    EXPECT_TRUE (r.bypassFound) << "JUCE adds a bypass to every plugin it builds";
    EXPECT_LT (r.bypassNullDb, -100.0);
}

namespace
{
const char* const honestText = "Honest plugin: latency, bypass, polarity, DC and noise all check out";
const char* const cannotVerify = "No problems found, but its delay could not be verified";
}

TEST (Checks, LatencyHonestyIsJudgedBeforeAndAfterAudio)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        double measured;
        int reported;
        int reportedAfter;
        bool atLimit;
        const char* verdict;
    } cases[] {
        { "honest 512", { "Delay=512" }, 512.0, 512, 512, false, honestText },
        { "reports 0", { "Delay=512", "Latency report=Offset", "Latency offset=-512" }, 512.0, 0, 0, false, "One problem: lies about its delay" },
        { "changes after audio", { "Delay=512", "Latency report=Offset after audio", "Latency offset=100" }, 512.0, 512, 612, false,
          "2 problems: lies about its delay, changes its reported delay after audio starts" },
        { "honest, just inside the search range", { "Delay=65000" }, 65000.0, 65000, 65000, false, honestText },
        // Beyond the range a delay cannot be measured, only seen to lie there: a report as long
        // is no lie, a short one is.
        { "honest 65600, beyond the range", { "Delay=65600" }, 65535.0, 65600, 65600, true, cannotVerify },
        { "honest 70000, beyond the range", { "Delay=70000" }, 65535.0, 70000, 70000, true, cannotVerify },
        { "honest 90000, mostly beyond the capture", { "Delay=90000" }, -1.0, 90000, 90000, false, cannotVerify },
        { "70000 reported as 69488", { "Delay=70000", "Latency report=Offset", "Latency offset=-512" }, 65535.0, 69488, 69488, true,
          cannotVerify },
        { "65600 reported as 65088", { "Delay=65600", "Latency report=Offset", "Latency offset=-512" }, 65535.0, 65088, 65088, true,
          "One problem: lies about its delay" },
    };

    for (const auto& c : cases)
    {
        const auto r = check (c.fixture);
        ASSERT_EQ (r.error, "") << c.label;
        EXPECT_NEAR (r.measuredLatency, c.measured, 0.05) << c.label;
        EXPECT_EQ (r.reportedLatency, c.reported) << c.label;
        EXPECT_EQ (r.reportedLatencyAfter, c.reportedAfter) << c.label;
        EXPECT_EQ (r.latencyAtSearchLimit, c.atLimit) << c.label;
        EXPECT_FALSE (r.polarityInverted) << c.label << ": an honest delay never flips polarity";
        EXPECT_EQ (TrVerdict::forChecks (r).text, c.verdict) << c.label;
    }
}

TEST (Checks, PolarityDcNoiseAndBypassAreCaught)
{
    EXPECT_TRUE (check ({ "Mode=Invert" }).polarityInverted);
    EXPECT_TRUE (check ({ "Mode=Invert", "Delay=300" }).polarityInverted);

    const auto dc = check ({ "Mode=DC offset" });
    EXPECT_NEAR (dc.dcSignalDbfs, 20.0 * std::log10 (0.002), 0.1);
    EXPECT_NEAR (dc.dcIdleDbfs, 20.0 * std::log10 (0.002), 0.1);

    const auto hiss = check ({ "Mode=Hiss" });
    EXPECT_NEAR (hiss.selfNoiseDbfs, -80.0, 0.5);

    const auto hum = check ({ "Mode=Hum" });
    ASSERT_FALSE (hum.noiseFreqHz.empty());
    const auto loudest = std::max_element (hum.noiseSpecDb.begin(), hum.noiseSpecDb.end()) - hum.noiseSpecDb.begin();
    EXPECT_NEAR (hum.noiseFreqHz[static_cast<size_t> (loudest)], 1000.0, 5.0);
    EXPECT_NEAR (hum.noiseSpecDb[static_cast<size_t> (loudest)], -100.0, 0.5);
    EXPECT_LE (hum.noiseFreqHz.size(), 512u);

    const auto colouring = check ({ "Bypass colours=1" });
    EXPECT_TRUE (colouring.bypassFound);
    EXPECT_GT (colouring.bypassNullDb, -60.0);
}

TEST (Checks, APluginWithoutABypassParameterSaysSo)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    slot.instance = std::make_unique<TrTest::FakePlugin>();
    const auto r = TrChecksAnalyzer::run (slot, {}, nullptr, {});

    ASSERT_EQ (r.error, "");
    EXPECT_FALSE (r.bypassFound);
    EXPECT_EQ (r.bypassNullDb, 0.0);
}

TEST (Checks, TheBypassIsRestoredAndFailuresAreReported)
{
    Bench bench;
    ASSERT_EQ (TrTest::loadFixture (bench.slot), "");
    auto* bypass = bench.slot.instance->getBypassParameter();
    ASSERT_NE (bypass, nullptr);

    // Cancelled while the bypass is engaged: it must still be switched back.
    bool cancelledWhileBypassed = false;
    const auto r = TrChecksAnalyzer::run (bench.slot, {}, nullptr, [&] { return cancelledWhileBypassed = bypass->getValue() > 0.5f; });
    EXPECT_EQ (r.error, TrErrorText::aborted);
    EXPECT_TRUE (cancelledWhileBypassed);
    EXPECT_EQ (bypass->getValue(), 0.0f);

    EXPECT_EQ (check ({ "Mode=NaN" }).error, TrErrorText::nonFinite);

    Bench empty;
    EXPECT_EQ (TrChecksAnalyzer::run (empty.slot, {}, nullptr, {}).error, TrErrorText::noPlugin);
}
