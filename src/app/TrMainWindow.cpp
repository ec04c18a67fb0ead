#include "TrMainWindow.h"

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
}

void TrMainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
