#pragma once

#include <juce_core/juce_core.h>

/** --list-params: loads the plugin that follows the flag and prints one line per parameter. */
int runListParamsMode (const juce::StringArray& args);
