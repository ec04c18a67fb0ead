#pragma once

#include <juce_core/juce_core.h>

/** --bench-live: the live response estimate against the swept measurement of the same plugin,
    with both curves written to a CSV file for plotting. */
int runLiveBenchMode (const juce::StringArray& args);

namespace TrLiveBench
{
/** Where the curves go, replaced on every run. */
inline constexpr const char* csvPath = "/tmp/testrig_live_vs_sweep.csv";

/** A curve's value at each frequency, interpolated in log frequency; NaN outside its range. */
std::vector<double> resample (const std::vector<float>& freqHz, const std::vector<float>& db, const std::vector<float>& at);

/** The RMS of the second difference over the points whose middle lies within 100..15000 Hz and
    whose three values are numbers; 0 when there is none. */
double jaggedness (const std::vector<float>& freqHz, const std::vector<double>& db);
}
