#include "TrSessionRestore.h"

#include "hosting/TrLv2Bundles.h"

namespace
{
constexpr const char* flagKey = "restore.inProgress";

juce::File existingPath (const juce::String& value)
{
    if (! value.startsWith ("~") && ! value.startsWith ("/"))
        return {};
    const auto file = value.startsWith ("~")
                          ? juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (value.substring (2))
                          : juce::File (value);
    return file.exists() ? file : juce::File();
}
}

TrSessionRestore::Outcome TrSessionRestore::begin (TrSettings& settings, TrSlotManager& slots,
                                                   const std::vector<juce::PluginDescription>& scanned)
{
    Outcome outcome;
    auto& props = *settings.props;

    if (props.getBoolValue (flagKey))
    {
        for (int i = 0; i < TrSlotManager::numSlots; ++i)
            settings.clearSlotPluginPath (i);
        props.setValue (flagKey, false);
        props.save();
        outcome.title = "Session not restored";
        outcome.text = "A plugin crashed TESTRIG while the last session was loading. The slots were cleared - reload plugins manually.";
        return outcome;
    }

    // On disk before any plugin code runs.
    props.setValue (flagKey, true);
    props.save();

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        const auto value = props.getValue (TrSettings::slotKey (i));
        if (value.isEmpty())
            continue;

        auto& slot = slots.slot (i);
        juce::String error;
        if (const auto file = existingPath (value); file != juce::File())
        {
            if (! slot.loadFromFile (file, error))
                outcome.lines.add ("TESTRIG: could not restore slot " + juce::String (i) + ": " + error);
        }
        else
        {
            const auto match = std::find_if (scanned.begin(), scanned.end(), [&value] (const auto& d) { return d.fileOrIdentifier == value; });
            // An LV2 URI loads without a scan: the slot's loader finds it in the system's bundles.
            const auto loaded = match != scanned.end() ? slot.loadFromDescription (*match, error)
                                : TrLv2Bundles::looksLikeIdentifier (value) ? slot.loadFromArgument (value, error)
                                                                            : true;
            if (! loaded)
            {
                outcome.title = "Could not load plugin";
                outcome.text = error;
            }
        }

        if (! slot.isLoaded())
            continue;

        ++outcome.restored;
        if (const auto state = settings.getSlotPluginState (i); ! state.isEmpty())
        {
            const juce::ScopedLock hold (slot.lock);
            slot.instance->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
        }
    }
    return outcome;
}

void TrSessionRestore::finish (TrSettings& settings)
{
    settings.props->setValue (flagKey, false);
    settings.props->save();
}
