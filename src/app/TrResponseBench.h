#pragma once

#include <juce_core/juce_core.h>

/** --bench-curve: frequency response, latency, polarity and phase character of one plugin. */
int runCurveBenchMode (const juce::StringArray& args);

/** --bench-null: the loudness-matched, aligned null test of two plugins. */
int runNullBenchMode (const juce::StringArray& args);
