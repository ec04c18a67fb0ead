#pragma once

#include "TrMainWindow.h"
#include "ui/UxLookAndFeel.h"

/** The process's application object: installs the crash handler, then runs one headless mode
    chosen by a command-line flag, or opens the main window when no flag is present. */
class TrApplication final : public juce::JUCEApplication
{
public:
    TrApplication() = default;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void systemRequestedQuit() override;

private:
    std::unique_ptr<UxLookAndFeel> lookAndFeel;
    std::unique_ptr<TrMainWindow> mainWindow;
};
