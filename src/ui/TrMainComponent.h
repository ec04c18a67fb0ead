#pragma once

#include "hosting/TrIdlePump.h"
#include "hosting/TrPluginScanner.h"
#include "hosting/TrSlotManager.h"
#include "settings/TrSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The main window's content: owner of the settings store, the two plugin slots, the plugin
    scanner and the pump that keeps loaded plugins running; it brings back the last session once
    the window is up. */
class TrMainComponent final : public juce::Component,
                              private juce::Timer
{
public:
    TrMainComponent();
    ~TrMainComponent() override;

    void paint (juce::Graphics& g) override;

    static constexpr int defaultWidth = 1280;
    static constexpr int defaultHeight = 800;

    TrSettings settings;
    TrSlotManager slotManager;
    /** Made at start so that a pedal left by a crash is read into the blacklist; it scans when asked. */
    TrPluginScanner scanner { settings };
    TrIdlePump idlePump { slotManager, {} };

private:
    void restoreSession();
    void timerCallback() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMainComponent)
};
