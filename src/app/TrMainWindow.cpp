#include "TrMainWindow.h"

#include "TrWindowHints.h"
#include "ui/TrMainComponent.h"

TrMainWindow::TrMainWindow (const juce::String& title)
    : juce::DocumentWindow (title, juce::Colour (0xff0c0b0e), juce::DocumentWindow::allButtons)
{
    setUsingNativeTitleBar (true);
    setContentOwned (new TrMainComponent(), true);
    setResizable (true, true);
    setResizeLimits (minWidth, minHeight, maxSize, maxSize);
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

void TrMainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
