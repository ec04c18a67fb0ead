#include "TrLv2World.h"

#include "TrLv2Bundles.h"

TrLv2Lookup::TrLv2Lookup (const juce::String& uri, const juce::File& bundle) : world (lilv_world_new())
{
    const auto load = [this] (const juce::File& folder) {
        auto* bundleUri = lilv_new_file_uri (world, nullptr, (folder.getFullPathName() + "/").toRawUTF8());
        lilv_world_load_bundle (world, bundleUri);
        lilv_node_free (bundleUri);
    };

    if (bundle != juce::File())
    {
        load (bundle);
    }
    else
    {
        lilv_world_load_all (world);
        for (const auto& known : TrLv2Bundles::bundlesMadeKnown())
            load (known);
    }

    plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), node (uri.toRawUTF8()));
}

TrLv2Lookup::~TrLv2Lookup()
{
    for (auto* n : nodes)
        lilv_node_free (n);
    lilv_world_free (world);
}

const LilvNode* TrLv2Lookup::node (const char* uri)
{
    nodes.push_back (lilv_new_uri (world, uri));
    return nodes.back();
}
