#include "TrEditorWindow.h"


TrEditorWindow::TrEditorWindow (const juce::String& title, juce::AudioProcessorEditor* editor)
    : juce::DocumentWindow (title, juce::Colour (0xff0c0b0e), juce::DocumentWindow::closeButton)
{
    setUsingNativeTitleBar (true);
    setContentOwned (editor, true);
    setResizable (editor->isResizable(), false);
    setAlwaysOnTop (true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

void TrEditorWindow::closeButtonPressed()
{
    // A copy: the callback deletes this window, and with it the member.
    auto callback = onClose;
    if (callback)
        callback();
}
