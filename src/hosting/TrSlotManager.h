#pragma once

#include "TrPluginSlot.h"

/** Owns the plugin formats (LV2 first, then VST3) and exactly two slots, A and B. */
class TrSlotManager final
{
public:
    TrSlotManager();

    /** Destroys slot B, then slot A, then the formats. */
    ~TrSlotManager();

    TrPluginSlot& slot (int index) { return *slots[index]; }
    const TrPluginSlot& slot (int index) const { return *slots[index]; }

    static constexpr int numSlots = 2;

    /** Called whenever any slot reports a change; may be empty. */
    std::function<void()> onSlotsChanged;
    juce::AudioPluginFormatManager formatManager;
    juce::OwnedArray<TrPluginSlot> slots;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrSlotManager)
};
