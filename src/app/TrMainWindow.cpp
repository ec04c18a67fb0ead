#include "TrMainWindow.h"

#include "TrWindowHints.h"
#include "ui/TrMainComponent.h"

TrMainWindow::TrMainWindow (const juce::String& title)
    : juce::DocumentWindow (title, juce::Colour (0xff0c0b0e), juce::DocumentWindow::allButtons)
{
    setUsingNativeTitleBar (true);
    auto* content = new TrMainComponent();
    setContentOwned (content, true);
    setResizable (true, true);
    setResizeLimits (minWidth, minHeight, maxSize, maxSize);

    const auto stored = content->settings.props->getValue ("window.state");
    if (stored.isEmpty() || ! restoreWindowStateFromString (stored))
        centreWithSize (getWidth(), getHeight());
    setVisible (true);
    content->grabKeyboardFocus();
    TrWindowHints::publishSizeLimits (*this);
}

void TrMainWindow::resized()
{
    juce::DocumentWindow::resized();
    TrWindowHints::publishSizeLimits (*this);
}

void TrMainWindow::paint (juce::Graphics& g)
{
    juce::DocumentWindow::paint (g);

    if (getPeer() != peerWithLimits)
    {
        peerWithLimits = getPeer();
        TrWindowHints::publishSizeLimits (*this);
    }
}

void TrMainWindow::moved()
{
    juce::DocumentWindow::moved();
    TrWindowHints::publishSizeLimits (*this);
}

void TrMainWindow::storeState()
{
    auto* content = dynamic_cast<TrMainComponent*> (getContentComponent());
    if (content == nullptr)
        return;

    auto& settings = content->settings;
    settings.props->setValue ("window.state", getWindowStateAsString());
    settings.props->saveIfNeeded();

    // A running job holds the slots' locks: it ends before any plugin's state is read. Playback
    // ends with the window.
    content->stopMeasuring();
    content->audition.stop();

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& slot = content->slotManager.slot (i);
        juce::MemoryBlock state;
        {
            const juce::ScopedLock hold (slot.lock);
            if (slot.instance == nullptr)
                continue;
            slot.instance->getStateInformation (state);
        }
        if (! state.isEmpty())
            settings.setSlotPluginState (i, state);
    }

    // Written now, not when the settings object goes: a plugin that crashes or hangs in its own
    // clean-up must not take the session with it.
    settings.props->saveIfNeeded();
}

void TrMainWindow::closeButtonPressed()
{
    storeState();
    if (auto* app = juce::JUCEApplication::getInstance())
        app->systemRequestedQuit();
}
