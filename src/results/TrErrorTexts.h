#pragma once

#include <juce_core/juce_core.h>

/** The standard failure texts every measurement reports in its record's error field. */
namespace TrErrorText
{
    inline const juce::String noPlugin = "no plugin loaded";
    inline const juce::String aborted = "aborted";
    inline const juce::String nonFinite = "plugin produced non-finite output (NaN/inf)";
    inline const juce::String implausible = "plugin produced implausible output (> +40 dBFS)";
    inline const juce::String nothingMeasured = "nothing measured";
    inline const juce::String silentOutput = "output below -100 dB re stimulus (silent or gated output?)";
    inline const juce::String noSideOnMonoOutput = "a mono output has no side channel";
    inline const juce::String invalidBlockSize = "block size must be at least 1 sample";
}
