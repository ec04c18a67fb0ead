#pragma once

#include "TrSlotManager.h"

/** Feeds every loaded plugin one block of silence every 10 ms while nothing else processes it,
    so plugins that need regular calls (smoothing, timers, meters) stay alive. A block never
    holds more samples than the slot prepared its plugin for. */
class TrIdlePump final : public juce::Thread
{
public:
    /** The gate, when set, lets the pump run only while it returns true. */
    TrIdlePump (TrSlotManager& slots, std::function<bool()> shouldPump);
    ~TrIdlePump() override;

    void run() override;

private:
    void pumpSlot (TrPluginSlot& slot);

    TrSlotManager& manager;
    std::function<bool()> gate;
    juce::AudioBuffer<float> scratch;
    juce::MidiBuffer midi;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrIdlePump)
};
