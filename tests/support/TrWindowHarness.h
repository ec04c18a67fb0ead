#pragma once

#include "TrMessagePump.h"
#include "TrMouse.h"
#include "TrTestPaths.h"
#include "app/TrMainWindow.h"
#include "ui/TrMainComponent.h"
#include "ui/TrMessage.h"

namespace TrTest
{
/** The popup menu on the screen, or nullptr. */
inline juce::Component* openMenu()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu" && c->isShowing())
            return c;
    return nullptr;
}

/** The real main window. A fresh one starts from an empty settings file (optionally prepared);
    one that continues reads what the last window left. */
struct Window
{
    enum Start
    {
        fresh,
        continuing
    };

    explicit Window (Start start = fresh, const std::function<void (TrSettings&)>& prepare = {})
    {
        if (start == fresh)
            TrSettings::options().getDefaultFile().deleteFile();
        if (prepare != nullptr)
        {
            TrSettings settings;
            prepare (settings);
            settings.props->save();
        }
        window = std::make_unique<TrMainWindow> ("TESTRIG");
        pumpMessages (300);
    }

    ~Window()
    {
        juce::PopupMenu::dismissAllActiveMenus();
        if (window != nullptr)
            closePanels();
        window.reset();
        // No later test starts from this one's session, unless it is handed on.
        if (! handOn)
            TrSettings::options().getDefaultFile().deleteFile();
    }

    /** Leaves the settings for the next window, as a quit and restart would. */
    void handSessionOn() { handOn = true; }

    TrMainComponent& main() { return dynamic_cast<TrMainComponent&> (*window->getContentComponent()); }
    TrSlotCard& card (int slot) { return main().slotStrip->card (slot); }
    TrPluginSlot& slot (int index) { return main().slotManager.slot (index); }

    void click (juce::Point<int> p)
    {
        TrTest::clickThroughWindow (main(), p.toFloat());
        pumpMessages (50);
    }

    void clickCard (int slot, juce::Point<float> p)
    {
        TrTest::clickThroughWindow (card (slot), p);
        pumpMessages (50);
    }

    /** Clicks and returns the popup menu the click opened, or nullptr. Looked for before any
        message is handled: without a window manager, on a starved X server, a menu can see the
        window's focus leave before its own arrives and close itself within milliseconds. */
    juce::Component* clickForMenu (juce::Component& target, juce::Point<float> p)
    {
        TrTest::clickThroughWindow (target, p);
        return openMenu();
    }

    /** Whether the click opened a popup menu; closes it again. */
    bool clickOpensMenu (juce::Component& target, juce::Point<float> p)
    {
        const auto opened = clickForMenu (target, p) != nullptr;
        juce::PopupMenu::dismissAllActiveMenus();
        pumpMessages (50);
        return opened;
    }

    void clickButton (int slot, int button) { clickCard (slot, card (slot).buttonArea (button).getCentre()); }

    /** The chip values of the active tab, "RATE=48 kHz | CHANNEL=left | ...". */
    juce::String chips()
    {
        juce::StringArray parts;
        for (const auto& c : main().currentChips())
            parts.add (c.label + "=" + c.value);
        return parts.joinIntoString (" | ");
    }

    juce::Point<int> chip (int index) { return main().getLayout().chip (index).getCentre(); }

    /** The title of the message panel on the window, empty when there is none. */
    juce::String panelTitle()
    {
        for (auto* child : window->getChildren())
            if (auto* p = dynamic_cast<TrMessage*> (child))
                return p->getTitle();
        return {};
    }

    /** The text of the message panel on the window, empty when there is none. */
    juce::String panelText()
    {
        for (auto* child : window->getChildren())
            if (auto* p = dynamic_cast<TrMessage*> (child))
                return p->getText();
        return {};
    }

    void closePanels()
    {
        for (auto* child : window->getChildren())
            if (auto* p = dynamic_cast<TrMessage*> (child))
                p->dismiss();
        pumpMessages (50);
    }

    juce::Image snapshot() { return main().createComponentSnapshot (main().getLocalBounds(), true, 1.0f); }

    std::unique_ptr<TrMainWindow> window;
    bool handOn = false;
};

/** Prepares settings in which the welcome was seen. */
inline void welcomed (TrSettings& s)
{
    s.props->setValue ("onboard.seen", true);
}

/** Soft clipper in A, a wire in B, the welcome already seen. */
struct Bench : Window
{
    Bench() : Window (fresh, welcomed)
    {
        card (0).filesDropped ({ fixture ("TestrigSoftClip").getFullPathName() }, 5, 5);
        card (1).filesDropped ({ fixture ("TestrigFixture").getFullPathName() }, 5, 5);
        pumpMessages (100);
    }

    void select (TrTab tab) { click (main().getLayout().railEntry (static_cast<int> (tab)).getCentre()); }
    void measure() { click (main().getLayout().measure.getCentre()); }

    /** Waits for the running job; false after the limit. */
    bool finished (int limitMs = 120000)
    {
        for (int waited = 0; waited < limitMs; waited += 50)
        {
            pumpMessages (50);
            if (! main().engine.isBusy())
            {
                pumpMessages (100);
                return true;
            }
        }
        return false;
    }

    /** The trace names of the chart on screen, "A L | B L | ...". */
    juce::String traces()
    {
        juce::StringArray names;
        for (const auto& t : main().chartView.getModel().traces)
            names.add (t.name);
        return names.joinIntoString (" | ");
    }
};
}
