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
    auto& props = *static_cast<TrMainComponent*> (getContentComponent())->settings.props;
    props.setValue ("window.state", getWindowStateAsString());
    props.saveIfNeeded();
}

void TrMainWindow::closeButtonPressed()
{
    storeState();
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
