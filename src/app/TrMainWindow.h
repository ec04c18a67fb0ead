#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The single main window: near-black, resizable between 1100 x 700 and 10000 x 10000. */
class TrMainWindow final : public juce::DocumentWindow
{
public:
    /** Opens where it was last closed, or centred at its initial size. */
    explicit TrMainWindow (const juce::String& title);

    /** Stores the window's place and every loaded plugin's state, and writes the settings file at
        once: whatever is torn down after this (a plugin that crashes in its clean-up) cannot lose it. */
    void storeState();

    /** Stores the state, then asks the application to quit. */
    void closeButtonPressed() override;
    void resized() override;
    void moved() override;
    void paint (juce::Graphics& g) override;

    static constexpr int minWidth = 1100;
    static constexpr int minHeight = 700;
    static constexpr int maxSize = 10000;

private:
    // JUCE re-sends a new window's bounds, and so drops its size limits, on its first paint.
    const juce::ComponentPeer* peerWithLimits = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMainWindow)
};
