#pragma once

#include "hosting/TrSlotManager.h"
#include "settings/TrSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The main window's content: owner of the settings store and of the two plugin slots. */
class TrMainComponent final : public juce::Component
{
public:
    TrMainComponent();

    void paint (juce::Graphics& g) override;

    static constexpr int defaultWidth = 1280;
    static constexpr int defaultHeight = 800;

    TrSettings settings;
    TrSlotManager slotManager;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMainComponent)
};
