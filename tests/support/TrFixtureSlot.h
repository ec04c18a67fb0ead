#pragma once

#include "TrTestPaths.h"
#include "hosting/TrSlotManager.h"

namespace TrTest
{
    /** Loads a fixture bundle into the slot, sets its parameters from "Name=value text"
        assignments (as its own parameter texts read them) and lets the plugin take them in on a
        few blocks of silence. Returns the load or parameter error, empty on success. */
    juce::String loadFixture (TrPluginSlot& slot, const juce::StringArray& assignments = {},
                              const juce::String& bundle = "TestrigFixture");

    /** Sets parameters of a loaded plugin from "Name=value text" assignments, then settles it.
        Returns an error for a name the plugin does not have. */
    juce::String setParameters (juce::AudioPluginInstance& plugin, const juce::StringArray& assignments);
}
