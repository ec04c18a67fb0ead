#include "TrLv2Bundles.h"

#include <lilv/lilv.h>

#include <unistd.h>

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

// The LV2 host can only be told to scan whole folders, and it complains about every neighbour
// that is no bundle. So it scans a private folder that holds nothing but a link to the bundle.
// The links must outlive the plugin instances (their binaries are opened through them), so the
// folders stay until the process ends.
class LinkFolders
{
public:
    juce::File folderHolding (const juce::File& bundle)
    {
        const juce::ScopedLock sl (lock);
        const auto folder = root.getChildFile (juce::String (next++));
        folder.createDirectory();
        bundle.createSymbolicLink (folder.getChildFile (bundle.getFileName()), true);
        return folder;
    }

    ~LinkFolders() { root.deleteRecursively (false); }

private:
    juce::CriticalSection lock;
    const juce::File root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getChildFile ("TESTRIG-lv2-" + juce::String (static_cast<int> (getpid())));
    int next = 0;
};

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
    {
        static LinkFolders links;
        format->searchPathsForPlugins (juce::FileSearchPath (links.folderHolding (bundle).getFullPathName()),
                                       false, false);
    }

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
