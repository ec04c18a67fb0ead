#pragma once

#include "hosting/TrPluginSlot.h"
#include "results/TrErrorTexts.h"
#include "results/TrSlotRecord.h"

/** The identifying fields every single-slot measurement copies first; false (with the record's
    error set) when the slot is empty or the channel mode cannot be measured on its layout. */
inline bool beginSlotRecord (const TrPluginSlot& slot, TrChannelMode channel, TrSlotRecord& record,
                             juce::String& channelName)
{
    record.slotIndex = slot.index;
    record.pluginName = slot.description.name;
    channelName = channelModeName (channel);

    if (slot.instance == nullptr)
    {
        record.error = TrErrorText::noPlugin;
        return false;
    }

    record.error = channelModeProblem (channel, mainChannelsOf (*slot.instance));
    return record.error.isEmpty();
}
