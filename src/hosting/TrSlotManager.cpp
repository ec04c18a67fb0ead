#include "TrSlotManager.h"

TrSlotManager::TrSlotManager()
{
    formatManager.addFormat (new juce::LV2PluginFormat());
    formatManager.addFormat (new juce::VST3PluginFormat());

    for (int i = 0; i < numSlots; ++i)
    {
        auto* s = slots.add (std::make_unique<TrPluginSlot> (formatManager, i));
        s->onChange = [this]
        {
            if (onSlotsChanged)
                onSlotsChanged();
        };
    }
}

TrSlotManager::~TrSlotManager()
{
    while (! slots.isEmpty())
        slots.removeLast();
}
