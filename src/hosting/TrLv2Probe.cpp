#include "TrLv2Probe.h"

#include "TrLv2World.h"

#include <lv2/urid/urid.h>

#include <csignal>
#include <cstdlib>
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

/** Frees an instance that never ran in a child process; the signal that ended the child, -1
    when it did not end in time, 0 when all went well. */
int signalOfUnusedInstance (const LilvPlugin* plugin, const LilvNode* control)
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
        // pointer it never set; in the host's own heap it is not. So what malloc hands out next
        // is made of garbage: blocks of every small size are filled and freed first.
        mallopt (M_PERTURB, 0xa5);
        std::vector<void*> blocks;
        for (size_t size = 16; size <= 4096; size += 16)
            for (int i = 0; i < 8; ++i)
                if (auto* block = std::malloc (size))
                    blocks.push_back (std::memset (block, 0xa5, size));
        for (auto* block : blocks)
            std::free (block);

        // As the host prepares a plugin: a second instance is made, then the first one freed.
        UridFeatures features;
        auto* first = lilv_plugin_instantiate (plugin, 48000.0, features.list);
        std::vector<float> values (lilv_plugin_get_num_ports (plugin), 0.0f);
        if (first != nullptr)
            for (uint32_t i = 0; i < values.size(); ++i)
                lilv_instance_connect_port (first, i, control != nullptr && lilv_port_is_a (plugin, lilv_plugin_get_port_by_index (plugin, i), control) ? &values[i] : nullptr);
        auto* second = first != nullptr ? lilv_plugin_instantiate (plugin, 48000.0, features.list) : nullptr;
        if (second != nullptr)
            lilv_instance_free (first);
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
    TrLv2Lookup lookup (uri, bundle);
    if (lookup.plugin == nullptr)
        return {};

    if (const auto cvPorts = countPorts (lookup.plugin, lookup.node (LV2_CORE__CVPort)); cvPorts > 0)
        return pluginName + " has " + juce::String (cvPorts) + " control-voltage port" + (cvPorts == 1 ? "" : "s")
             + ", which the LV2 host cannot connect - the plugin would read unconnected memory";

    if (const auto signal = signalOfUnusedInstance (lookup.plugin, lookup.node (LV2_CORE__ControlPort)); signal != 0)
        return pluginName + (signal > 0 ? " crashes (" + juce::String (strsignal (signal)) + ")" : juce::String (" hangs"))
             + " when an instance that never ran is freed, which the LV2 host does each time it prepares the plugin"
               " - it cannot be measured";

    return {};
}

bool takesBlockLength (const juce::String& uri, const juce::File& bundle, int samples)
{
    TrLv2Lookup lookup (uri, bundle);
    if (lookup.plugin == nullptr)
        return true;

    const auto declared = [&lookup] (const char* property) {
        auto* values = lilv_plugin_get_value (lookup.plugin, lookup.node (property));
        const auto* first = values != nullptr ? lilv_nodes_get_first (values) : nullptr;
        const auto value = first != nullptr && lilv_node_is_int (first) ? lilv_node_as_int (first) : 0;
        lilv_nodes_free (values);
        return value;
    };
    const auto smallest = declared ("http://lv2plug.in/ns/ext/buf-size#minBlockLength");
    const auto largest = declared ("http://lv2plug.in/ns/ext/buf-size#maxBlockLength");
    return samples >= smallest && (largest <= 0 || samples <= largest);
}
}
