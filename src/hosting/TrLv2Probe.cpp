#include "TrLv2Probe.h"

#include "TrLv2Bundles.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TrLv2Probe
{
namespace
{
constexpr int probeSeconds = 10;

/** The URID map and unmap most plugins need before they will instantiate at all. */
struct UridFeatures
{
    std::vector<std::string> uris;
    LV2_URID_Map map { this, [] (LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                          auto& all = static_cast<UridFeatures*> (h)->uris;
                          for (size_t i = 0; i < all.size(); ++i)
                              if (all[i] == uri)
                                  return static_cast<LV2_URID> (i + 1);
                          all.emplace_back (uri);
                          return static_cast<LV2_URID> (all.size());
                      } };
    LV2_URID_Unmap unmap { this, [] (LV2_URID_Unmap_Handle h, LV2_URID urid) -> const char* {
                              auto& all = static_cast<UridFeatures*> (h)->uris;
                              return urid >= 1 && urid <= all.size() ? all[urid - 1].c_str() : nullptr;
                          } };
    LV2_Feature mapFeature { LV2_URID__map, &map };
    LV2_Feature unmapFeature { LV2_URID__unmap, &unmap };
    const LV2_Feature* list[3] { &mapFeature, &unmapFeature, nullptr };
};

int countPorts (const LilvPlugin* plugin, const LilvNode* kind)
{
    int count = 0;
    for (uint32_t i = 0; i < lilv_plugin_get_num_ports (plugin); ++i)
        count += lilv_port_is_a (plugin, lilv_plugin_get_port_by_index (plugin, i), kind) ? 1 : 0;
    return count;
}

/** Makes and frees one instance in a child process; the signal that ended the child, -1 when it
    did not end in time, 0 when all went well. */
int signalOfUnusedInstance (const LilvPlugin* plugin)
{
    const auto child = fork();
    if (child < 0)
        return 0;

    if (child == 0)
    {
        for (const auto s : { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT })
            std::signal (s, SIG_DFL);
        const auto quiet = open ("/dev/null", O_WRONLY);
        dup2 (quiet, STDOUT_FILENO);
        dup2 (quiet, STDERR_FILENO);

        // Fresh memory in a young process is mostly zero, which hides a clean-up that frees a
        // pointer it never set; in the host's own heap it is not. Fill what malloc hands out.
        mallopt (M_PERTURB, 0xa5);

        UridFeatures features;
        if (auto* instance = lilv_plugin_instantiate (plugin, 48000.0, features.list))
            lilv_instance_free (instance);
        _exit (0);
    }

    int status = 0;
    for (int waited = 0; waited < probeSeconds * 100; ++waited)
    {
        if (waitpid (child, &status, WNOHANG) == child)
            return WIFSIGNALED (status) ? WTERMSIG (status) : (WEXITSTATUS (status) == 0 ? 0 : SIGABRT);
        usleep (10000);
    }

    kill (child, SIGKILL);
    waitpid (child, &status, 0);
    return -1;
}
}

juce::String whyUnhostable (const juce::String& pluginName, const juce::String& uri, const juce::File& bundle)
{
    auto* world = lilv_world_new();
    auto* bundleUri = bundle == juce::File() ? nullptr : lilv_new_file_uri (world, nullptr, (bundle.getFullPathName() + "/").toRawUTF8());
    if (bundleUri != nullptr)
        lilv_world_load_bundle (world, bundleUri);
    else
        lilv_world_load_all (world);

    // A plugin named by URI may live in a bundle the host was pointed at by path earlier.
    for (const auto& known : bundleUri == nullptr ? TrLv2Bundles::bundlesMadeKnown() : std::vector<juce::File>())
    {
        auto* node = lilv_new_file_uri (world, nullptr, (known.getFullPathName() + "/").toRawUTF8());
        lilv_world_load_bundle (world, node);
        lilv_node_free (node);
    }

    auto* pluginUri = lilv_new_uri (world, uri.toRawUTF8());
    auto* cvPort = lilv_new_uri (world, LV2_CORE__CVPort);
    const auto* plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), pluginUri);

    juce::String reason;
    if (plugin != nullptr)
    {
        const auto cvPorts = countPorts (plugin, cvPort);
        if (cvPorts > 0)
        {
            reason = pluginName + " has " + juce::String (cvPorts) + " control-voltage port" + (cvPorts == 1 ? "" : "s")
                   + ", which the LV2 host cannot connect - the plugin would read unconnected memory";
        }
        else if (const auto signal = signalOfUnusedInstance (plugin); signal != 0)
        {
            reason = pluginName + (signal > 0 ? " crashes (" + juce::String (strsignal (signal)) + ")" : juce::String (" hangs"))
                   + " when an instance that never ran is freed, which the LV2 host does each time it prepares the plugin"
                     " - it cannot be measured";
        }
    }

    lilv_node_free (cvPort);
    lilv_node_free (pluginUri);
    if (bundleUri != nullptr)
        lilv_node_free (bundleUri);
    lilv_world_free (world);
    return reason;
}
}
