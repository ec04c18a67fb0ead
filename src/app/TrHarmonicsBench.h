#pragma once

#include <juce_core/juce_core.h>

/** --bench: harmonic distortion, noise, aliasing, DC and true peak of one tone. */
int runHarmonicsBenchMode (const juce::StringArray& args);

/** --bench-thd: THD over frequency or level. */
int runThdBenchMode (const juce::StringArray& args);

/** --bench-imd: SMPTE or CCIF intermodulation. */
int runImdBenchMode (const juce::StringArray& args);
