#pragma once

#include "TrNumberFormat.h"

#include <cmath>

/** How a plugin's reported latency compares with the measured one. */
enum class TrLatencyFit
{
    agrees,    // within 3 samples
    disagrees, // further apart, and not explained by the plugin's phase
    dispersed  // further apart, but within the range of group delays the plugin's phase spreads
               // its arrival over, as an all-pass network's: no single delay to check it against
};

/** The comparison, given the earliest and latest group delay of the plugin's phase across the
    passband (both the measured latency when it does not spread its arrival). A range that starts
    before time zero comes of a phase too noisy to read (a distortion's) and explains nothing. */
inline TrLatencyFit fitOfLatency (double measuredSamples, int reportedSamples, double earliestSamples, double latestSamples)
{
    constexpr double tolerance = 3.0;
    if (std::abs (measuredSamples - reportedSamples) <= tolerance)
        return TrLatencyFit::agrees;

    const auto readable = earliestSamples >= -tolerance;
    const auto spread = latestSamples - earliestSamples > tolerance;
    const auto within = reportedSamples >= earliestSamples - tolerance && reportedSamples <= latestSamples + tolerance;
    return readable && spread && within ? TrLatencyFit::dispersed : TrLatencyFit::disagrees;
}

/** "phase spreads the arrival from 0.3 to 27.6 smp", as the reports explain a dispersed fit. */
inline juce::String arrivalSpreadText (double earliestSamples, double latestSamples)
{
    return "phase spreads the arrival from " + TrNumberFormat::fixed (earliestSamples, 1) + " to " + TrNumberFormat::fixed (latestSamples, 1) + " smp";
}
