#pragma once

#include "TrSlotCard.h"
#include "hosting/TrSlotManager.h"

/** The header row of slot cards, one per slot, side by side. */
class TrSlotStrip final : public juce::Component
{
public:
    TrSlotStrip (TrSlotManager& slots, TrSettings& settings, TrPluginScanner& scanner);

    TrSlotCard& card (int index) { return *cards[index]; }
    int numCards() const { return cards.size(); }

    /** Cards over the full height, 8 px apart, the last clipped to what is left. */
    void resized() override;

private:
    juce::OwnedArray<TrSlotCard> cards;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrSlotStrip)
};
