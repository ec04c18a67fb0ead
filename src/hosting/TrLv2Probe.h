#pragma once

#include <juce_core/juce_core.h>

/** What JUCE's LV2 host cannot survive in a plugin, found before an instance of it exists in this
    process. */
namespace TrLv2Probe
{
    /** Why the plugin cannot be hosted, or empty. Control-voltage ports get no buffer from the
        host, so the plugin would read through a null pointer. And the host frees the instance
        it created first, never activated, whenever it prepares the plugin: this is done in a
        child process, and a plugin whose clean-up faults then is refused. The
        plugin is looked up in its bundle when one is given, else in the system's LV2 folders. */
    juce::String whyUnhostable (const juce::String& pluginName, const juce::String& uri, const juce::File& bundle);

    /** Whether the plugin accepts blocks of this many samples: an LV2 plugin may declare a
        smallest and a largest block length, and fails to start outside them (which the framework's
        LV2 host does not survive). */
    bool takesBlockLength (const juce::String& uri, const juce::File& bundle, int samples);
}
