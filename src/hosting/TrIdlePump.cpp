#include "TrIdlePump.h"

namespace
{
constexpr int intervalMs = 10;
constexpr int stopTimeoutMs = 2000;
}

TrIdlePump::TrIdlePump (TrSlotManager& slots, std::function<bool()> shouldPump)
    : juce::Thread ("TESTRIG idle pump"), manager (slots), gate (std::move (shouldPump))
{
}

TrIdlePump::~TrIdlePump()
{
    signalThreadShouldExit();
    notify();
    stopThread (stopTimeoutMs);
    gate = nullptr;
}

void TrIdlePump::run()
{
    while (! threadShouldExit())
    {
        if (! gate || gate())
            for (auto* slot : manager.slots)
                pumpSlot (*slot);

        wait (intervalMs);
    }
}

void TrIdlePump::pumpSlot (TrPluginSlot& slot)
{
    const juce::ScopedTryLock stl (slot.lock);
    if (! stl.isLocked() || slot.instance == nullptr)
        return;

    auto& plugin = *slot.instance;
    const auto channels = juce::jmax (2, plugin.getTotalNumInputChannels(), plugin.getTotalNumOutputChannels());
    const auto samples = juce::jmax (1, slot.blockSize);

    if (scratch.getNumChannels() != channels || scratch.getNumSamples() != samples)
        scratch.setSize (channels, samples);

    scratch.clear();
    midi.clear();
    plugin.processBlock (scratch, midi);
}
