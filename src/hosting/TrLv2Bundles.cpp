#include "TrLv2Bundles.h"

#include <lilv/lilv.h>

namespace TrLv2Bundles
{
namespace
{
juce::StringArray urisDeclaredIn (const juce::File& bundle)
{
    juce::StringArray uris;

    auto* world = lilv_world_new();
    const auto folder = bundle.getFullPathName() + "/";
    auto* bundleUri = lilv_new_file_uri (world, nullptr, folder.toRawUTF8());

    lilv_world_load_bundle (world, bundleUri);

    const auto* plugins = lilv_world_get_all_plugins (world);
    LILV_FOREACH (plugins, it, plugins)
    {
        const auto* plugin = lilv_plugins_get (plugins, it);
        if (lilv_node_equals (lilv_plugin_get_bundle_uri (plugin), bundleUri))
            uris.add (juce::String::fromUTF8 (lilv_node_as_uri (lilv_plugin_get_uri (plugin))));
    }

    lilv_node_free (bundleUri);
    lilv_world_free (world);
    return uris;
}

juce::AudioPluginFormat* lv2Format (juce::AudioPluginFormatManager& formats)
{
    for (auto* format : formats.getFormats())
        if (format->getName() == juce::LV2PluginFormat::getFormatName())
            return format;

    return nullptr;
}

bool isKnown (juce::AudioPluginFormat& format, const juce::String& uri)
{
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, uri);
    return ! found.isEmpty();
}
}

bool isBundle (const juce::File& file)
{
    return file.isDirectory() && file.getFileExtension().equalsIgnoreCase (".lv2");
}

juce::StringArray pluginUris (juce::AudioPluginFormatManager& formats, const juce::File& bundle)
{
    const auto uris = urisDeclaredIn (bundle);
    auto* format = lv2Format (formats);

    if (format != nullptr && ! uris.isEmpty() && ! isKnown (*format, uris[0]))
        format->searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()),
                                       false, false);
    return uris;
}

bool looksLikeIdentifier (const juce::String& text)
{
    const auto colon = text.indexOfChar (':');
    if (colon < 1)
        return false;

    const auto scheme = text.substring (0, colon);
    return juce::CharacterFunctions::isLetter (scheme[0])
        && scheme.containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+.-");
}
}
