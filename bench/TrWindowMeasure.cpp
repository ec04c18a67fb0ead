// Opens the main window (under the display it is given), loads the plugins, presses MEASURE on
// one tab and ends once the result is drawn: the window's side of bench/window.sh, which times it
// against the matching bench mode on the same plugins.
#include "app/TrMainWindow.h"
#include "ui/TrMainComponent.h"
#include "ui/TrViewState.h"
#include "ui/UxFonts.h"

#include <iostream>

namespace juce
{
// JUCE's own step of its message loop; declared where it is defined.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
std::optional<TrTab> tabNamed (const juce::String& name)
{
    const std::pair<const char*, TrTab> tabs[] { { "curve", TrTab::curve },   { "harmonics", TrTab::harmonics }, { "dynamics", TrTab::dynamics },
                                                 { "null", TrTab::nullAb },   { "perf", TrTab::perf },           { "checks", TrTab::checks } };
    for (const auto& [word, tab] : tabs)
        if (name == word)
            return tab;
    return std::nullopt;
}

int measure (TrTab tab, const juce::StringArray& plugins)
{
    // A settings file of its own, so that no session of the user's is restored or changed.
    const auto home = juce::File::createTempFile ("").getSiblingFile ("testrig-window-bench-" + juce::String (juce::Random().nextInt (1 << 30)));
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    int status = 1;
    {
        TrMainWindow window ("TESTRIG");
        auto& main = dynamic_cast<TrMainComponent&> (*window.getContentComponent());

        // The window's start-up (the session check among it) runs first, as before any click.
        while (juce::dispatchNextMessageOnSystemQueue (true))
            ;
        for (int i = 0; i < plugins.size() && i < TrSlotManager::numSlots; ++i)
            main.slotStrip->card (i).loadPlugin (juce::File::getCurrentWorkingDirectory().getChildFile (plugins[i]));

        main.selectTab (tab);
        main.startMeasurement();
        // Until the completion has shown the chart; a job that ended with nothing to show ends it too.
        for (int stepsSinceJob = 0; ! main.chartView.isVisible() && stepsSinceJob < 50;)
        {
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
            stepsSinceJob = main.engine.isBusy() ? 0 : stepsSinceJob + 1;
        }
        // Drawn, as the screen would show it.
        const auto picture = main.createComponentSnapshot (main.getLocalBounds());
        status = main.chartView.isVisible() && picture.isValid() ? 0 : 1;
        if (status != 0)
            std::cerr << "nothing was measured\n";
    }
    home.deleteRecursively();
    return status;
}
}

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    const auto tab = args.isEmpty() ? std::nullopt : tabNamed (args[0]);
    if (! tab || args.size() < 2)
    {
        std::cerr << "usage: testrig_window_measure curve|harmonics|dynamics|null|perf|checks <plugin A> [<plugin B>]\n";
        return 2;
    }

    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    juce::ScopedJuceInitialiser_GUI gui;
    UxFonts::initialize();
    args.remove (0);
    const auto status = measure (*tab, args);
    UxFonts::release();
    return status;
}
