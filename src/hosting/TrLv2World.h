#pragma once

#include <juce_core/juce_core.h>

#include <lilv/lilv.h>

/** One LV2 plugin looked up through lilv: in its bundle when one is given, else in the system's
    LV2 folders and the bundles the host was pointed at by path. */
class TrLv2Lookup
{
public:
    TrLv2Lookup (const juce::String& uri, const juce::File& bundle);
    ~TrLv2Lookup();

    LilvWorld* const world;
    const LilvPlugin* plugin = nullptr; // null when no bundle declares the URI

    /** A URI node owned by the lookup. */
    const LilvNode* node (const char* uri);

private:
    std::vector<LilvNode*> nodes;

    JUCE_DECLARE_NON_COPYABLE (TrLv2Lookup)
};
