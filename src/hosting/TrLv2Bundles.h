#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** LV2 plugins are addressed by URI; these helpers let a user name a .lv2 bundle folder instead. */
namespace TrLv2Bundles
{
    /** Whether the file is a folder whose name ends in .lv2 (any case). */
    bool isBundle (const juce::File& file);

    /** A plugin a bundle declares, with its counts of audio input and output ports. */
    struct Plugin
    {
        juce::String uri;
        int audioInputs = 0;
        int audioOutputs = 0;
    };

    /** The plugins the bundle declares, in lilv's order. The format manager's LV2 host is made
        to know the bundle, also when it lies outside the default LV2 folders. */
    std::vector<Plugin> plugins (juce::AudioPluginFormatManager& formats, const juce::File& bundle);

    /** The bundles outside the system's LV2 folders that plugins() made the LV2 host know. */
    std::vector<juce::File> bundlesMadeKnown();

    /** The URI to load from a bundle: its only plugin, or else the only one with two audio
        inputs and two audio outputs; empty with error naming the URIs when that is ambiguous. */
    juce::String choosePlugin (const std::vector<Plugin>& plugins, const juce::File& bundle, juce::String& error);

    /** Why an LV2 plugin's binary cannot be opened: the loader's own reason (a missing file, an
        undefined symbol), or that the binary opens but the plugin refused to start. The plugin is
        looked up in its bundle when one is given, else in the system's LV2 folders. */
    juce::String whyNotOpened (const juce::String& uri, const juce::File& bundle);

    /** The channels of an LV2 plugin's main input bus that are sidechain ports, in order: the LV2
        host puts every required audio input without a port group into that bus, sidechains
        included. Looked up once per URI. */
    std::vector<int> sidechainsInMainInput (const juce::String& uri);

    /** Whether the text names a plugin by identifier (it starts with a URI scheme such as
        "http:" or "urn:") rather than by path. */
    bool looksLikeIdentifier (const juce::String& text);
}
