#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** LV2 plugins are addressed by URI; these helpers let a user name a .lv2 bundle folder instead. */
namespace TrLv2Bundles
{
    /** Whether the file is a folder whose name ends in .lv2 (any case). */
    bool isBundle (const juce::File& file);

    /** The URIs of the plugins the bundle declares, in lilv's order. The format manager's LV2
        host is made to know the bundle, also when it lies outside the default LV2 folders. */
    juce::StringArray pluginUris (juce::AudioPluginFormatManager& formats, const juce::File& bundle);

    /** Whether the text names a plugin by identifier (it starts with a URI scheme such as
        "http:" or "urn:") rather than by path. */
    bool looksLikeIdentifier (const juce::String& text);
}
