#include "TrApp.h"

#include "TrBenchJson.h"
#include "TrConsole.h"
#include "TrCrashLog.h"
#include "TrModeDispatch.h"
#include "hosting/TrPrivateTemp.h"
#include "ui/UxFonts.h"

#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace
{
std::atomic<bool> exitExpected { false };

// A plugin that calls exit() would otherwise end the run with status 0 and no report, which a
// script counts as a pass. Runs before the framework's own static objects go.
void refuseUnexpectedExit()
{
    if (exitExpected)
        return;

    // _exit skips the static object that would remove the private folder, and the plugin may
    // have broken the heap on its way out.
    TrCrashLog::removeNotedFolder();

    if (TrBenchJson::active())
    {
        TrBenchJson::fail ("the plugin ended the process");
        TrBenchJson::finish (1);
        _exit (1);
    }

    static constexpr char message[] = "error: the plugin ended the process\n";
    [[maybe_unused]] const auto written = write (STDOUT_FILENO, message, sizeof (message) - 1);
    _exit (1);
}
}

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
    std::atexit (refuseUnexpectedExit);

    const auto args = getCommandLineParameterArray();
    const auto* mode = TrModeDispatch::findMode (args);
    TrCrashLog::noteMode (mode != nullptr ? juce::String (mode->flag) : juce::String ("window"));

    if (mode == nullptr || TrModeDispatch::loadsPlugins (*mode))
    {
        if (const auto problem = TrPrivateTemp::open(); problem.isNotEmpty())
        {
            TrConsole::print ("error: " + problem + "\n");
            setApplicationReturnValue (1);
            quit();
            return;
        }

        TrCrashLog::removeOnCrash (TrPrivateTemp::folder().getFullPathName());
    }

    if (mode != nullptr)
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

    UxFonts::initialize();
    lookAndFeel = std::make_unique<UxLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());
    mainWindow = std::make_unique<TrMainWindow> (getApplicationName());
}

void TrApplication::shutdown()
{
    exitExpected = true;
    mainWindow.reset();

    // Headless runs never touched the desktop; reaching for it now would start desktop helpers.
    if (lookAndFeel != nullptr)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    lookAndFeel.reset();
    UxFonts::release();
}

void TrApplication::systemRequestedQuit()
{
    quit();
}
