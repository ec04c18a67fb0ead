#pragma once

#include "hosting/TrSlotManager.h"

/** What every bench mode shares once its options are read. */
namespace TrBenchRun
{
    /** Every bench mode prepares its plugins with this block size. */
    inline constexpr int blockSize = 512;

    /** Prints "error: " + text and gives the failure status 1. */
    int fail (const juce::String& text);

    /** Loads the path (relative to the working folder when not absolute) into the slot and
        prepares it at the rate with the bench block size. On failure prints errorPrefix + the
        load error and returns false. */
    bool load (TrPluginSlot& slot, const juce::String& path, double prepareRate, const juce::String& errorPrefix = "error: ");

    /** "name (format)" of the plugin in a loaded slot, as the reports print it. */
    juce::String pluginLine (const TrPluginSlot& slot);
}
