#include "TrMessagePump.h"
#include "TrMouse.h"
#include "TrScreens.h"
#include "TrWindowHarness.h"
#include "TrTestPaths.h"
#include "app/TrMainWindow.h"
#include "ui/TrMainComponent.h"
#include "ui/TrMessage.h"
#include "ui/TrSlotMenu.h"
#include "ui/TrWindowButtons.h"

#include <gtest/gtest.h>

namespace
{
using TrTest::pumpMessages;

using TrTest::Window;
using TrTest::welcomed;

/** Whether a popup menu appeared within a second (slow under the sanitizers), for clicks that must
    open none; closes it. */
bool menuWasOpen()
{
    for (int waited = 0; waited < 1000; waited += 50)
    {
        pumpMessages (50);
        if (juce::PopupMenu::dismissAllActiveMenus())
            return true;
    }
    return false;
}

int level (juce::Colour c)
{
    return (c.getRed() + c.getGreen() + c.getBlue()) / 3;
}

/** A plugin's parameter value by the start of its name; -1 when it has none so named. */
float parameter (juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (64).startsWith (name))
            return p->getValue();
    return -1.0f;
}

void setParameter (juce::AudioPluginInstance& plugin, const juce::String& name, float value)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (64).startsWith (name))
            p->setValueNotifyingHost (value);
}
}

TEST (MainComponent, TheWelcomeShowsOnAFirstStartAndTheClickThatClosesItAlsoActs)
{
    {
        Window w;
        ASSERT_TRUE (w.main().isWelcomeShown());
        EXPECT_EQ (w.main().getLocalBounds(), juce::Rectangle<int> (0, 0, 1440, 900));
        const auto withWelcome = w.snapshot();
        TrTest::keepForReview (withWelcome, "window-welcome");

        w.click (w.main().getLayout().railEntry (1).getCentre());
        EXPECT_FALSE (w.main().isWelcomeShown());
        EXPECT_EQ (w.main().view.tab, TrTab::harmonics) << "the click selected HARMONICS as well";
        EXPECT_TRUE (TrSettings().props->getBoolValue ("onboard.seen")) << "saved at once";

        // The overlay lays bgDeep at alpha 0xd1 over everything: a point of the empty chart drawn
        // without it, blended so, gives what was drawn with it.
        const auto without = w.snapshot();
        const auto p = w.main().getLayout().chart.getTopLeft() + juce::Point<int> (40, 40);
        const auto expected = without.getPixelAt (p.x, p.y).interpolatedWith (UxPanelTheme::Colours::bgDeep, 0xd1 / 255.0f);
        EXPECT_NEAR (level (withWelcome.getPixelAt (p.x, p.y)), level (expected), 3);
    }
    {
        Window w;
        ASSERT_TRUE (w.main().isWelcomeShown());
        EXPECT_TRUE (w.clickOpensMenu (w.card (1), { 20.0f, 20.0f })) << "the card opened its menu";
        EXPECT_FALSE (w.main().isWelcomeShown()) << "a click the slot card handles closes the welcome too";
        w.handSessionOn();
    }
    {
        Window w (Window::continuing);
        EXPECT_FALSE (w.main().isWelcomeShown()) << "remembered in onboard.seen";
    }
}

TEST (MainComponent, TheRailSelectsTabsAndTheChipsOpenMenusOrToggle)
{
    Window w (Window::fresh, welcomed);
    const auto& layout = w.main().getLayout();

    w.click (layout.railEntry (5).getCentre());
    EXPECT_EQ (w.chips(), "RATE=48 kHz") << "PERF";
    w.click (layout.railEntry (6).getCentre());
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left") << "CHECKS";

    w.click (layout.railEntry (0).getCentre());
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left | MODE=single | LEVEL=-12 dBFS | VIEW=magnitude");
    w.click (w.chip (4));
    w.click (w.chip (2));
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left | MODE=multi-level | LEVEL=-24..0 dBFS | VIEW=phase");

    // Menus open at the mouse; dismissing one changes nothing.
    for (const int chip : { 0, 1 })
    {
        EXPECT_TRUE (w.clickOpensMenu (w.main(), w.chip (chip).toFloat())) << "chip " << chip;
    }
    w.click (w.chip (3));
    EXPECT_FALSE (menuWasOpen()) << "LEVEL has nothing to choose in multi-level mode";
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left | MODE=multi-level | LEVEL=-24..0 dBFS | VIEW=phase");

    // With no plugin loaded the audition switch has nothing to play.
    w.click (layout.railEntry (4).getCentre());
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left | SIGNAL=pink noise | LISTEN=off");
    w.click (w.chip (3));
    EXPECT_FALSE (menuWasOpen());
    EXPECT_EQ (w.chips(), "RATE=48 kHz | CHANNEL=left | SIGNAL=pink noise | LISTEN=off");
}

TEST (MainComponent, ExplanationsShowAfterARest)
{
    Window w (Window::fresh, welcomed);
    const auto& layout = w.main().getLayout();
    const auto& tip = w.main().getHoverTip();

    const struct
    {
        const char* label;
        juce::Point<int> at;
        const char* key;
        const char* title;
    } cases[] {
        { "MEASURE", layout.measure.getCentre(), "MEASURE", "MEASURE" },
        { "LIVE", layout.live.getCentre(), "LIVE", "LIVE" },
        { "HOLD", layout.hold.getCentre(), "HOLD", "HOLD - freeze for comparison" },
        { "EXPORT", layout.exportButton.getCentre(), "EXPORT", "EXPORT" },
        { "CHECKUP", layout.checkup.getCentre(), "CHECKUP", "CHECKUP" },
        { "a rail entry", layout.railEntry (2).getCentre(), "tab2", "DYNAMICS - compression behavior" },
        { "a menu chip", layout.chip (0).getCentre(), "chipRATE", "Sample rate - click to change" },
        { "a toggle chip", layout.chip (2).getCentre(), "chipMODE", "Sweep mode - click to toggle" },
    };

    // The pointer enters the window first, as a user's does.
    TrTest::moveThroughWindow (w.main(), layout.chart.getCentre().toFloat());
    pumpMessages (300);

    for (const auto& c : cases)
    {
        TrTest::moveThroughWindow (w.main(), c.at.toFloat());
        pumpMessages (100);
        EXPECT_EQ (tip.key, c.key) << c.label;
        EXPECT_FALSE (tip.visible) << c.label << ": not before the mouse rested";
        // Shown by a timer: under load the message loop may take a while to get to it.
        for (int waited = 0; waited < 3000 && ! tip.visible; waited += 50)
            pumpMessages (50);
        EXPECT_TRUE (tip.visible) << c.label;
        EXPECT_EQ (tip.tip.title, c.title) << c.label;
        if (juce::String (c.key) == "MEASURE")
            TrTest::keepForReview (w.snapshot(), "window-tooltip");
    }

    // Without a plugin, MEASURE, CHECKUP, LIVE and EXPORT do nothing but hide the explanation.
    const auto before = w.chips();
    for (const auto& button : { layout.measure, layout.checkup, layout.live, layout.exportButton })
    {
        w.click (button.getCentre());
        EXPECT_FALSE (w.main().engine.isBusy());
        EXPECT_FALSE (w.main().isCheckupShown());
    }
    EXPECT_FALSE (tip.visible);
    EXPECT_EQ (w.chips(), before);
    EXPECT_EQ (w.main().view.tab, TrTab::curve);
    EXPECT_FALSE (menuWasOpen()) << "EXPORT has nothing to offer without results";

    TrTest::moveThroughWindow (w.main(), layout.chart.getCentre().toFloat());
    pumpMessages (TrMainComponent::tooltipDelayMs + 200);
    EXPECT_TRUE (tip.key.isEmpty());
    EXPECT_FALSE (tip.visible) << "nothing to explain over the empty chart";

    // Ctrl+C is taken even with nothing to copy; the audition keys are not while nothing plays.
    w.main().grabKeyboardFocus(); // no window manager hands out focus under Xvfb
    EXPECT_TRUE (w.main().keyPressed (juce::KeyPress ('c', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (w.panelTitle().isEmpty());
    for (const auto key : { '1', '2', 'n', '0', ' ' })
        EXPECT_FALSE (w.main().keyPressed (juce::KeyPress (key))) << key;
}

TEST (MainComponent, DroppedBundlesLoadAndAChangedSlotDropsItsResults)
{
    Window w (Window::fresh, welcomed);
    const auto fixture = TrTest::fixture ("TestrigFixture");
    const auto other = TrTest::fixture ("TestrigSidechain");

    EXPECT_FALSE (w.card (0).isInterestedInFileDrag ({ "/tmp/notes.txt", "/tmp/song.wav" }));
    EXPECT_TRUE (w.card (0).isInterestedInFileDrag ({ "/tmp/notes.txt", fixture.getFullPathName() }));

    // Several files: the first bundle loads; a module inside a bundle stands for its bundle.
    const auto module = fixture.getChildFile ("Contents/x86_64-linux/TestrigFixture.so");
    w.card (0).filesDropped ({ "/tmp/notes.txt", module.getFullPathName(), other.getFullPathName() }, 10, 10);
    ASSERT_TRUE (w.slot (0).isLoaded()) << w.panelTitle();
    EXPECT_EQ (w.slot (0).pluginFile, fixture);
    EXPECT_EQ (TrSettings().props->getValue (TrSettings::slotKey (0)), fixture.getFullPathName());
    EXPECT_EQ (w.card (0).secondaryLine(), "VST3  -  0 smp latency");

    w.card (1).filesDropped ({ fixture.getFullPathName() }, 10, 10);
    ASSERT_TRUE (w.slot (1).isLoaded());
    const auto name = w.slot (0).description.name;

    // Results of both slots and their null test; then slot B gets another plugin.
    auto& stores = w.main().view.stores;
    for (int s = 0; s < 2; ++s)
    {
        TrCurveResult r;
        r.slotIndex = s;
        r.pluginName = name;
        stores.curves.push_back (r);
    }
    TrNullResult n;
    n.nameA = n.nameB = name;
    stores.nulls.push_back (n);

    w.card (1).filesDropped ({ other.getFullPathName() }, 10, 10);
    ASSERT_TRUE (w.slot (1).isLoaded());
    ASSERT_NE (w.slot (1).description.name, name);
    ASSERT_EQ (stores.curves.size(), 1u);
    EXPECT_EQ (stores.curves[0].slotIndex, 0) << "slot A's result stays";
    EXPECT_TRUE (stores.nulls.empty());

    // A file that is no plugin is refused with a message, never silently.
    const auto notes = juce::File::createTempFile (".txt");
    notes.replaceWithText ("not a plugin");
    w.card (1).loadPlugin (notes);
    EXPECT_EQ (w.panelTitle(), "Could not load plugin");
    EXPECT_TRUE (w.slot (1).isLoaded()) << "the loaded plugin stays";
    notes.deleteFile();
}

TEST (MainComponent, CardButtonsHideOpenAndUnloadAndAreRefusedWhileMeasuring)
{
    Window w (Window::fresh, welcomed);
    w.card (0).filesDropped ({ TrTest::fixture ("TestrigFixture").getFullPathName() }, 10, 10);
    ASSERT_TRUE (w.slot (0).isLoaded());
    juce::MemoryBlock state;
    w.slot (0).instance->getStateInformation (state);
    w.main().settings.setSlotPluginState (0, state);
    w.main().settings.props->save();
    ASSERT_TRUE (TrSettings().props->containsKey (TrSettings::stateKey (0)));

    w.clickButton (0, TrSlotCard::eyeButton);
    EXPECT_FALSE (w.slot (0).visible);
    EXPECT_FALSE (w.main().view.slots[0].visible) << "the view hears of it";
    EXPECT_EQ (w.card (0).secondaryLine(), "show / hide its traces") << "the hovered button's hint";
    TrTest::moveThroughWindow (w.card (0), { 20.0f, 20.0f });
    EXPECT_EQ (w.card (0).secondaryLine(), "VST3  -  0 smp latency  -  hidden");
    w.clickButton (0, TrSlotCard::eyeButton);
    EXPECT_TRUE (w.main().view.slots[0].visible);

    w.clickButton (0, TrSlotCard::editorButton);
    ASSERT_NE (w.slot (0).editorWindow, nullptr);
    w.clickButton (0, TrSlotCard::editorButton);
    EXPECT_EQ (w.slot (0).editorWindow, nullptr) << "the second click closes it";

    // While a measurement runs only the editor button acts.
    bool busy = true;
    w.card (0).isBusy = [&busy] { return busy; };
    w.card (1).isBusy = [&busy] { return busy; };
    const struct
    {
        const char* label;
        std::function<void()> act;
        bool refused;
    } busyCases[] {
        { "eye", [&] { w.clickButton (0, TrSlotCard::eyeButton); }, true },
        { "remove", [&] { w.clickButton (0, TrSlotCard::removeButton); }, true },
        { "a drop", [&] { w.card (0).filesDropped ({ TrTest::fixture ("TestrigGain1dB").getFullPathName() }, 5, 5); }, true },
        { "an empty card", [&] { w.clickCard (1, { 20.0f, 20.0f }); }, true },
        { "elsewhere on a loaded card", [&] { w.clickCard (0, { 20.0f, 20.0f }); }, false },
    };
    for (const auto& c : busyCases)
    {
        c.act();
        EXPECT_EQ (w.panelTitle(), c.refused ? "Measurement running" : "") << c.label;
        EXPECT_FALSE (menuWasOpen()) << c.label;
        w.closePanels();
    }
    EXPECT_TRUE (w.slot (0).visible);
    EXPECT_TRUE (w.slot (0).isLoaded());
    EXPECT_EQ (w.slot (0).pluginFile, TrTest::fixture ("TestrigFixture"));
    EXPECT_FALSE (w.slot (1).isLoaded());
    w.clickButton (0, TrSlotCard::editorButton);
    EXPECT_NE (w.slot (0).editorWindow, nullptr) << "the editor opens during a measurement";

    busy = false;
    w.clickButton (0, TrSlotCard::removeButton);
    EXPECT_FALSE (w.slot (0).isLoaded());
    EXPECT_EQ (w.slot (0).editorWindow, nullptr);
    EXPECT_FALSE (TrSettings().props->containsKey (TrSettings::slotKey (0)));
    EXPECT_FALSE (TrSettings().props->containsKey (TrSettings::stateKey (0))) << "a later start leaves the slot empty";
}

TEST (MainComponent, ThirdPartyPluginsLoadFromTheScannedMenuAndByDropOpenTheirEditorsAndComeBackWithTheirStates)
{
    // A scan of one zam VST3 and one x42 LV2, as the window's scanner makes it.
    const auto folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("real-plugins");
    const auto vst3 = juce::File ("/usr/lib/vst3/ZamEQ2.vst3");
    const auto lv2 = juce::File ("/usr/lib/lv2/balance.lv2");
    ASSERT_TRUE (vst3.isDirectory() && lv2.isDirectory()) << "zam-plugins and x42-plugins are installed by the test scripts";
    folder.getChildFile ("vst3").createDirectory();
    vst3.createSymbolicLink (folder.getChildFile ("vst3/ZamEQ2.vst3"), true);

    float eqValue = 0.0f, balanceValue = 0.0f;
    {
        Window w (Window::fresh, welcomed);
        std::vector<juce::PluginDescription> scanned;
        {
            TrPluginScanner scanner (w.main().settings, { { "VST3", juce::FileSearchPath (folder.getChildFile ("vst3").getFullPathName()) },
                                                          { "LV2", juce::FileSearchPath() } });
            scanner.run();
            scanned = scanner.getSnapshot();
        }
        ASSERT_EQ (scanned.size(), 1u);

        // The LV2 host's safety probe forks; under the sanitizers a fork while another thread
        // allocates (the idle pump playing slot A) can stall the child, so B is loaded first.
        w.card (1).filesDropped ({ lv2.getChildFile ("manifest.ttl").getFullPathName() }, 10, 10);
        ASSERT_TRUE (w.slot (1).isLoaded()) << w.panelTitle();
        EXPECT_EQ (w.slot (1).description.pluginFormatName, "LV2");
        EXPECT_TRUE (w.card (1).secondaryLine().startsWith ("LV2  -  ")) << w.card (1).secondaryLine();

        // The user opens slot A's menu and picks the scanned plugin.
        EXPECT_TRUE (w.clickOpensMenu (w.card (0), { 20.0f, 20.0f }));
        w.card (0).menuChosen (TrSlotMenu::firstPluginId, TrSlotMenu (scanned, {}, false, 1.0f));
        ASSERT_TRUE (w.slot (0).isLoaded()) << w.panelTitle();
        EXPECT_EQ (w.slot (0).description.name, "ZamEQ2");

        for (int s = 0; s < 2; ++s)
        {
            w.clickButton (s, TrSlotCard::editorButton);
            EXPECT_NE (w.slot (s).editorWindow, nullptr) << "slot " << s << ": " << w.panelTitle();
            w.closePanels();
        }
        pumpMessages (300);
        TrTest::keepForReview (w.snapshot(), "window-two-plugins");

        auto& eq = *w.slot (0).instance;
        auto& balance = *w.slot (1).instance;
        setParameter (eq, "Boost/Cut 1", 0.9f);
        setParameter (balance, "Delay Left", 0.25f);
        pumpMessages (200);
        eqValue = parameter (eq, "Boost/Cut 1");
        balanceValue = parameter (balance, "Delay Left");
        ASSERT_GE (balanceValue, 0.0f) << "x42 balance has its delay parameter";

        w.window->storeState(); // what a click on the close button does before quitting
        w.handSessionOn();
    }

    Window w (Window::continuing);
    pumpMessages (300);
    ASSERT_TRUE (w.slot (0).isLoaded());
    ASSERT_TRUE (w.slot (1).isLoaded());
    EXPECT_EQ (w.slot (0).description.name, "ZamEQ2");
    EXPECT_NEAR (parameter (*w.slot (0).instance, "Boost/Cut 1"), eqValue, 1e-3);
    EXPECT_NEAR (eqValue, 0.9f, 1e-3);
    EXPECT_NEAR (parameter (*w.slot (1).instance, "Delay Left"), balanceValue, 1e-3);
    EXPECT_TRUE (w.panelTitle().isEmpty());
    folder.deleteRecursively();
}
