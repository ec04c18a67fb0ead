#pragma once

#include <juce_core/juce_core.h>

/** --bench-dyn: the dynamics measurement run several times on one instance, with a check that
    the runs agree (a plugin that does not reset cleanly makes them differ: status 2). */
int runDynamicsBenchMode (const juce::StringArray& args);
