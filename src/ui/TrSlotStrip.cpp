#include "TrSlotStrip.h"

TrSlotStrip::TrSlotStrip (TrSlotManager& slots, TrSettings& settings, TrPluginScanner& scanner)
{
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        addAndMakeVisible (cards.add (new TrSlotCard (slots.slot (i), settings, scanner)));
}

void TrSlotStrip::resized()
{
    const auto count = cards.size();
    const auto width = (getWidth() - 8 * count + 8) / juce::jmax (1, count);
    for (int i = 0; i < count; ++i)
    {
        const auto x = i * (width + 8);
        cards[i]->setBounds (x, 0, juce::jlimit (0, juce::jmax (0, getWidth() - x), width), getHeight());
    }
}
