#pragma once

#include <juce_core/juce_core.h>

/** --bench-perf: processing cost per sample and per call, real-time share, denormal behaviour. */
int runPerfBenchMode (const juce::StringArray& args);
