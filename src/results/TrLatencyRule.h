#pragma once

#include <cmath>

/** How a plugin's reported latency compares with the measured one. */
enum class TrLatencyFit
{
    agrees,    // within 3 samples
    disagrees, // further apart, and not explained by the plugin's phase
    dispersed  // further apart, but the plugin's phase spreads its arrival over a range of group
               // delays that reaches past the reported figure: no single delay to check it against
};

/** The comparison, given the range of group delays the plugin's phase spreads its arrival over
    (both the measured latency when it does not spread it). */
inline TrLatencyFit fitOfLatency (double measuredSamples, int reportedSamples, double earliestSamples, double latestSamples)
{
    constexpr double tolerance = 3.0;
    if (std::abs (measuredSamples - reportedSamples) <= tolerance)
        return TrLatencyFit::agrees;
    return latestSamples - earliestSamples > tolerance && reportedSamples <= latestSamples + tolerance ? TrLatencyFit::dispersed
                                                                                                        : TrLatencyFit::disagrees;
}
