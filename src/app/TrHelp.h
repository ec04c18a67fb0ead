#pragma once

#include <juce_core/juce_core.h>

/** --help (and -h): every mode with its options. */
int runHelpMode (const juce::StringArray& args);

/** --version: "TESTRIG" and the project's version. */
int runVersionMode (const juce::StringArray& args);
