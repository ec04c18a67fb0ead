#include "TrLv2Bundles.h"

#include "TrLv2World.h"
#include "TrPrivateTemp.h"

#include <lilv/lilv.h>

#include <lv2/port-groups/port-groups.h>

#include <dlfcn.h>
#include <map>
#include <mutex>

namespace TrLv2Bundles
{
namespace
{
std::vector<Plugin> pluginsDeclaredIn (const juce::File& bundle)
{
    std::vector<Plugin> found;

    auto* world = lilv_world_new();
    const auto folder = bundle.getFullPathName() + "/";
    auto* bundleUri = lilv_new_file_uri (world, nullptr, folder.toRawUTF8());
    auto* audio = lilv_new_uri (world, LILV_URI_AUDIO_PORT);
    auto* input = lilv_new_uri (world, LILV_URI_INPUT_PORT);
    auto* output = lilv_new_uri (world, LILV_URI_OUTPUT_PORT);

    lilv_world_load_bundle (world, bundleUri);

    const auto* all = lilv_world_get_all_plugins (world);
    LILV_FOREACH (plugins, it, all)
    {
        const auto* plugin = lilv_plugins_get (all, it);
        if (lilv_node_equals (lilv_plugin_get_bundle_uri (plugin), bundleUri))
            found.push_back ({ juce::String::fromUTF8 (lilv_node_as_uri (lilv_plugin_get_uri (plugin))),
                               static_cast<int> (lilv_plugin_get_num_ports_of_class (plugin, audio, input, nullptr)),
                               static_cast<int> (lilv_plugin_get_num_ports_of_class (plugin, audio, output, nullptr)) });
    }

    for (auto* node : { bundleUri, audio, input, output })
        lilv_node_free (node);
    lilv_world_free (world);
    return found;
}

juce::AudioPluginFormat* lv2Format (juce::AudioPluginFormatManager& formats)
{
    for (auto* format : formats.getFormats())
        if (format->getName() == juce::LV2PluginFormat::getFormatName())
            return format;

    return nullptr;
}

// The LV2 host can only be told to scan whole folders, and it complains about every neighbour
// that is no bundle. So it scans a folder that holds nothing but a link to the bundle, inside
// the process's private one: nobody else can put a bundle with the same URI beside it.
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

    std::vector<juce::File> linkedBundles()
    {
        const juce::ScopedLock sl (lock);
        std::vector<juce::File> bundles;
        for (const auto& folder : root.findChildFiles (juce::File::findDirectories, false))
            for (const auto& link : folder.findChildFiles (juce::File::findDirectories, false))
                bundles.push_back (link);
        return bundles;
    }

private:
    juce::CriticalSection lock;
    const juce::File root = TrPrivateTemp::folder().getChildFile ("lv2");
    int next = 0;
};

LinkFolders& linkFolders()
{
    static LinkFolders links;
    return links;
}

bool isKnown (juce::AudioPluginFormat& format, const juce::String& uri)
{
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, uri);
    return ! found.isEmpty();
}
}

std::vector<juce::File> bundlesMadeKnown()
{
    return linkFolders().linkedBundles();
}

bool isBundle (const juce::File& file)
{
    return file.isDirectory() && file.getFileExtension().equalsIgnoreCase (".lv2");
}

std::vector<Plugin> plugins (juce::AudioPluginFormatManager& formats, const juce::File& bundle)
{
    const auto found = pluginsDeclaredIn (bundle);
    auto* format = lv2Format (formats);

    if (format != nullptr && ! found.empty() && TrPrivateTemp::folder() != juce::File() && ! isKnown (*format, found.front().uri))
    {
        format->searchPathsForPlugins (juce::FileSearchPath (linkFolders().folderHolding (bundle).getFullPathName()),
                                       false, false);
    }

    return found;
}

juce::String choosePlugin (const std::vector<Plugin>& plugins, const juce::File& bundle, juce::String& error)
{
    if (plugins.size() == 1)
        return plugins.front().uri;

    juce::StringArray all, stereo;
    for (const auto& p : plugins)
    {
        all.add (p.uri);
        if (p.audioInputs == 2 && p.audioOutputs == 2)
            stereo.add (p.uri);
    }

    if (stereo.size() == 1)
        return stereo[0];

    if (! all.isEmpty())
        error = bundle.getFullPathName() + " holds " + juce::String (all.size()) + " plugins (" + all.joinIntoString (", ")
              + ") - give the URI of the one to measure";

    return {};
}

juce::String whyNotOpened (const juce::String& uri, const juce::File& bundle)
{
    TrLv2Lookup lookup (uri, bundle);
    const auto* library = lookup.plugin != nullptr ? lilv_plugin_get_library_uri (lookup.plugin) : nullptr;
    auto* path = library != nullptr ? lilv_file_uri_parse (lilv_node_as_uri (library), nullptr) : nullptr;

    juce::String reason;
    if (path == nullptr)
    {
        reason = "its binary is not declared";
    }
    else if (auto* handle = dlopen (path, RTLD_NOW | RTLD_LOCAL))
    {
        dlclose (handle);
        reason = "its binary opens, but the plugin refused to start";
    }
    else
    {
        reason = juce::String::fromUTF8 (dlerror());
    }

    lilv_free (path);
    return reason;
}

std::vector<int> sidechainsInMainInput (const juce::String& uri)
{
    static std::mutex lock;
    static std::map<juce::String, std::vector<int>> known;

    const std::lock_guard<std::mutex> guard (lock);
    if (const auto found = known.find (uri); found != known.end())
        return found->second;

    std::vector<int> channels;
    TrLv2Lookup lookup (uri, {});
    if (const auto* plugin = lookup.plugin)
    {
        const auto* audio = lookup.node (LV2_CORE__AudioPort);
        const auto* input = lookup.node (LV2_CORE__InputPort);
        const auto* optional = lookup.node (LV2_CORE__connectionOptional);
        const auto* sidechain = lookup.node (LV2_CORE_PREFIX "isSideChain");
        const auto* group = lookup.node (LV2_PORT_GROUPS__group);

        int channel = 0;
        bool grouped = false;
        for (uint32_t i = 0; i < lilv_plugin_get_num_ports (plugin); ++i)
        {
            const auto* port = lilv_plugin_get_port_by_index (plugin, i);
            if (! lilv_port_is_a (plugin, port, audio) || ! lilv_port_is_a (plugin, port, input))
                continue;

            if (auto* portGroup = lilv_port_get (plugin, port, group))
            {
                grouped = true;
                lilv_node_free (portGroup);
            }

            if (lilv_port_has_property (plugin, port, optional))
                continue;

            if (lilv_port_has_property (plugin, port, sidechain))
                channels.push_back (channel);
            ++channel;
        }

        // With port groups the main bus is a group of its own, and sidechains sit in theirs.
        if (grouped)
            channels.clear();
    }

    known[uri] = channels;
    return channels;
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
