#include "results/TrLatencyRule.h"

#include <gtest/gtest.h>

TEST (LatencyRule, AReportIsHeldAgainstTheDelayOrTheSpreadOfAnAllPassNetwork)
{
    const struct
    {
        const char* label;
        double measured;
        int reported;
        double earliest, latest;
        TrLatencyFit fit;
    } cases[] {
        { "a wire", 0.0, 0, 0.0, 0.0, TrLatencyFit::agrees },
        { "within 3 samples", 102.9, 100, 102.9, 102.9, TrLatencyFit::agrees },
        { "a hidden delay", 100.0, 0, 100.0, 100.0, TrLatencyFit::disagrees },
        { "a reported delay that is not there", 0.0, 64, 0.0, 0.0, TrLatencyFit::disagrees },
        { "spread a little, within the tolerance", 5.0, 0, 4.0, 6.5, TrLatencyFit::disagrees },
        { "an all-pass network reporting none", 7.7, 0, 0.3, 27.6, TrLatencyFit::dispersed },
        { "one reporting a figure within its spread", 7.7, 20, 0.3, 27.6, TrLatencyFit::dispersed },
        { "one reporting more than its slowest band", 7.7, 200, 0.3, 27.6, TrLatencyFit::disagrees },
        { "one behind a hidden delay: even its fastest band is late", 107.7, 0, 100.3, 127.6, TrLatencyFit::disagrees },
        { "a phase too noisy to read", 31.8, 0, -715.3, 43.0, TrLatencyFit::disagrees },
    };

    for (const auto& c : cases)
        EXPECT_EQ (fitOfLatency (c.measured, c.reported, c.earliest, c.latest), c.fit) << c.label;
}
