#pragma once

#include <juce_core/juce_core.h>

/** Which files a user may hand a slot: plugin bundles, which are folders. */
namespace TrPluginFiles
{
/** Whether the path names a ".vst3" or ".lv2" bundle (case ignored). */
bool isBundlePath (const juce::String& path);

/** The bundle a chosen or dropped file stands for: the bundle itself, or for a ".so" or
    "manifest.ttl" inside one, the enclosing bundle; an empty File for anything else. */
juce::File bundleFor (const juce::File& chosen);

/** The message for a file that is no plugin bundle. */
juce::String notAPluginText (const juce::File& chosen);
}
