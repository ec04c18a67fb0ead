#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The window that holds a plugin's own editor. */
class TrEditorWindow final : public juce::DocumentWindow
{
public:
    TrEditorWindow (const juce::String& title, juce::AudioProcessorEditor* editor);

    void closeButtonPressed() override;

    /** Runs when the user closes the window; running it may delete the window. */
    std::function<void()> onClose;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrEditorWindow)
};
