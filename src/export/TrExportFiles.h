#pragma once

#include <juce_core/juce_core.h>

#include <array>

/** Where the window's exports go and what they are called. */
namespace TrExportFiles
{
/** "TESTRIG Exports" in the user's desktop folder; made when a file is written. */
juce::File folder();

/** A plugin's name as it may stand in a file name: spaces become "-", only ASCII letters, digits,
    "-" and "_" stay, at most 40 characters, no "-" or "_" at either end; "plugin" when nothing is left. */
juce::String safeName (const juce::String& pluginName);

/** The loaded plugins' safe names joined by "_vs_" ("rigbench" when no slot holds one), the tab's
    name in lower case without "/" and with "-" for spaces, and the time to the second:
    "Tape-Drive-2_vs_EQ-Mono_curve_20261211-143005". Empty names are empty slots. */
juce::String baseName (const std::array<juce::String, 2>& pluginNames, const juce::String& tabName, juce::Time when);

/** folder/stem + ending, or with "_2", "_3", ... after the stem when that exists: two exports
    within one second never overwrite each other. */
juce::File freshFile (const juce::File& folder, const juce::String& stem, const juce::String& ending);
}
