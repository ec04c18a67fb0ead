#include "TrFixtureSlot.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "analyzers/TrFreqResponseAnalyzer.h"

#include <gtest/gtest.h>

// The response and the checks read latency and polarity by one rule, from a sweep and from
// noise: both must tell the same story about the same plugin, and it must be the true one. The
// latency a host compensates is where the response starts (or a linear-phase response's
// centre), not the peak of a filter's impulse response.

TEST (ResponseAgreement, CurveAndChecksReadTheSameTrueLatencyAndPolarity)
{
    const struct
    {
        const char* label;
        juce::StringArray fixture;
        double latency;
        int reported;
        bool inverted;
    } cases[] {
        { "wire", {}, 0.0, 0, false },
        { "minimum-phase low-pass reporting 0 is honest", { "Mode=Low-pass" }, 0.0, 0, false },
        { "hidden delay in front of a low-pass", { "Mode=Low-pass", "Delay=100", "Latency report=Offset", "Latency offset=-100" }, 100.0, 0, false },
        { "inverted low-pass", { "Mode=Low-pass", "Invert output=On" }, 0.0, 0, true },
        { "all-pass wandering through 180 degrees", { "Mode=All-pass" }, 0.0, 0, false },
        { "inverted all-pass", { "Mode=All-pass", "Invert output=On" }, 0.0, 0, true },
        { "peaking EQ", { "Mode=Peak EQ" }, 0.0, 0, false },
        { "plain inversion", { "Mode=Invert" }, 0.0, 0, true },
        { "linear-phase EQ behind 10 samples", { "Mode=Linear EQ", "Delay=10" }, 521.0, 521, false },
        { "half-sample delay behind 10 samples", { "Mode=Half sample", "Delay=10" }, 41.5, 41, false },
    };

    for (const auto& c : cases)
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);
        ASSERT_EQ (TrTest::loadFixture (slot, c.fixture), "") << c.label;

        const auto curve = TrFreqResponseAnalyzer::run (slot, {}, nullptr, {});
        const auto checks = TrChecksAnalyzer::run (slot, {}, nullptr, {});
        ASSERT_EQ (curve.error + checks.error, "") << c.label;

        EXPECT_NEAR (curve.measuredLatency, c.latency, 0.3) << c.label << " (response)";
        EXPECT_NEAR (checks.measuredLatency, c.latency, 0.3) << c.label << " (checks)";
        EXPECT_EQ (curve.reportedLatency, c.reported) << c.label;
        EXPECT_EQ (checks.reportedLatencyAfter, c.reported) << c.label;
        EXPECT_EQ (curve.polarityInverted, c.inverted) << c.label << " (response)";
        EXPECT_EQ (checks.polarityInverted, c.inverted) << c.label << " (checks)";
        EXPECT_FALSE (checks.latencyUnclear) << c.label;
    }
}
