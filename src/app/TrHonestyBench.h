#pragma once

#include <juce_core/juce_core.h>

/** --bench-checks: latency, bypass, polarity, DC and self-noise honesty. */
int runChecksBenchMode (const juce::StringArray& args);

/** --bench-checkup: harmonics, response and honesty in turn, graded together. */
int runCheckupBenchMode (const juce::StringArray& args);
