#include "TrApp.h"

#include "TrConsole.h"
#include "TrCrashLog.h"
#include "TrModeDispatch.h"

const juce::String TrApplication::getApplicationName()
{
    return "TESTRIG";
}

const juce::String TrApplication::getApplicationVersion()
{
    return TESTRIG_VERSION;
}

bool TrApplication::moreThanOneInstanceAllowed()
{
    return TrModeDispatch::allowsSeveralInstances (getCommandLineParameters());
}

void TrApplication::initialise (const juce::String&)
{
    TrCrashLog::install();

    const auto args = getCommandLineParameterArray();

    if (const auto* mode = TrModeDispatch::findMode (args))
    {
        setApplicationReturnValue (TrModeDispatch::runGuarded (*mode, args));
        quit();
        return;
    }

    if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
    {
        TrConsole::print ("error: no display to open the window on; the --bench modes and --list-params run without one\n");
        setApplicationReturnValue (1);
        quit();
        return;
    }

    lookAndFeel = std::make_unique<juce::LookAndFeel_V4>();
    juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());
    mainWindow = std::make_unique<TrMainWindow> (getApplicationName());
}

void TrApplication::shutdown()
{
    mainWindow.reset();
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    lookAndFeel.reset();
}

void TrApplication::systemRequestedQuit()
{
    quit();
}
