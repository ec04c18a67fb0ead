#include "TrMainComponent.h"

#include "TrAnalyzerTabs.h"
#include "TrAuditionView.h"
#include "TrMessage.h"
#include "TrReadoutRows.h"
#include "TrWindowButtons.h"
#include "app/TrConsole.h"
#include "app/TrCrashLog.h"
#include "settings/TrSessionRestore.h"

namespace
{
constexpr auto onboardKey = "onboard.seen";

juce::String suffixFor (int kind)
{
    return kind == TrChips::menu ? " - click to change" : " - click to toggle";
}
}

TrMainComponent::TrMainComponent()
{
    scanner = std::make_unique<TrPluginScanner> (settings);
    const auto repaintLater = [weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        juce::MessageManager::callAsync ([weak] {
            if (weak != nullptr)
                weak->repaint();
        });
    };
    scanner->onProgress = repaintLater;
    scanner->onFinished = repaintLater;

    slotStrip = std::make_unique<TrSlotStrip> (slotManager, settings, *scanner);
    addAndMakeVisible (*slotStrip);
    for (int i = 0; i < slotStrip->numCards(); ++i)
        slotStrip->card (i).isBusy = [this] { return engine.isBusy(); };
    for (int i = 0; i < slotStrip->numCards(); ++i)
        slotStrip->card (i).onHover = [this] (juce::Component& card, const juce::String& id, const juce::String& title,
                                              const juce::String& body, juce::Rectangle<float> area) {
            setHover (id, { title, body }, getLocalArea (&card, area));
        };

    addChildComponent (chartView);

    slotManager.onSlotsChanged = [weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        // Loads and unloads happen on the message thread; a plugin may still report from elsewhere.
        if (juce::MessageManager::getInstance()->isThisTheMessageThread())
        {
            if (weak != nullptr)
                weak->slotsChanged();
            return;
        }
        juce::MessageManager::callAsync ([weak] {
            if (weak != nullptr)
                weak->slotsChanged();
        });
    };

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        slotManager.slot (i).loadPedal = TrPluginScanner::pedalFile (settings);
    // A measurement plays the plugins itself.
    idlePump = std::make_unique<TrIdlePump> (slotManager, [this] {
        return ! engine.isBusy() && ! liveEngine.isStreaming() && ! audition.isPlaying();
    });
    idlePump->startThread();

    onboardSeen = settings.props->getBoolValue (onboardKey, false);

    // The first click anywhere closes the welcome, also one that a slot card or the chart handles.
    childClicks.onClick = [this] {
        if (! onboardSeen)
            dismissWelcome();
    };
    slotStrip->addMouseListener (&childClicks, true);
    chartView.addMouseListener (&childClicks, true);
    setWantsKeyboardFocus (true);
    setSize (defaultWidth, defaultHeight);
    rebuildChart();

    // After the window is shown, so that a panel has somewhere to appear.
    juce::MessageManager::callAsync ([weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        if (weak != nullptr)
            weak->restoreSession();
    });
}

TrMainComponent::~TrMainComponent()
{
    // Before anything a running job, the live stream or the audio device uses goes.
    audition.stop();
    stopMeasuring();
    TrCrashLog::stopOrEndProcess (liveEngine, 3000);
    slotManager.onSlotsChanged = nullptr;
    stopTimer();
    chartView.removeMouseListener (&childClicks);
    slotStrip.reset();

    // The framework kills a thread that overruns its wait, which can leave a slot lock held and
    // hang the slots' destruction: a thread that does not stop ends the process instead.
    TrCrashLog::stopOrEndProcess (*scanner, 10000);
    scanner.reset();
    TrCrashLog::stopOrEndProcess (*idlePump, 10000);
    idlePump.reset();
}

void TrMainComponent::restoreSession()
{
    const auto outcome = TrSessionRestore::begin (settings, slotManager, scanner->getSnapshot());
    for (const auto& line : outcome.lines)
        TrConsole::print (line + "\n");
    if (outcome.title.isNotEmpty())
        TrMessage::show (this, outcome.title, outcome.text, outcome.error);

    // The flag stays on disk while restored plugins first play: one that crashes while processing
    // is then not restored at the next start either.
    if (outcome.restored == 0)
    {
        TrSessionRestore::finish (settings);
        return;
    }
    juce::Timer::callAfterDelay (TrSessionRestore::probationMs, [weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        if (weak != nullptr)
            TrSessionRestore::finish (weak->settings);
    });
}

int TrMainComponent::loadedCount() const
{
    int count = 0;
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        count += slotManager.slot (i).isLoaded() ? 1 : 0;
    return count;
}

std::array<juce::String, 2> TrMainComponent::loadedNames() const
{
    std::array<juce::String, 2> names;
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        const auto& slot = slotManager.slot (i);
        names[static_cast<size_t> (i)] = slot.isLoaded() ? slot.description.name : juce::String();
    }
    return names;
}

void TrMainComponent::slotsChanged()
{
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        view.slots[static_cast<size_t> (i)] = { slotManager.slot (i).isLoaded(), slotManager.slot (i).visible };
    dropStaleResults (view.stores, loadedNames());
    followSlotsWhileAuditioning();
    rebuildChart();
    maybeAutoLive();
    if (slotStrip != nullptr)
        slotStrip->repaint();
    repaint();
}

void TrMainComponent::rebuildChart()
{
    chartView.setModel (::rebuildChart (view, &chartMemory));
    chartView.setVisible (tabHasResults (view));
}

void TrMainComponent::selectTab (TrTab tab)
{
    view.tab = tab;
    chartMemory = {};
    chartView.resetZoom();
    rebuildChart();
    repaint();
}

void TrMainComponent::resized()
{
    layout = TrMainLayout::forSize (getWidth(), getHeight());
    slotStrip->setBounds (layout.slotStrip);
    chartView.setBounds (layout.chart);
}

std::vector<TrMainComponent::Chip> TrMainComponent::currentChips()
{
    std::vector<Chip> chips;
    for (const auto& face : TrChips::facesFor (view, audition.isPlaying() ? audition.mode.load() : TrChips::silent))
    {
        Chip chip { face.label, face.value, {}, face.kind };
        if (face.kind == TrChips::toggle)
            chip.action = [this, label = face.label] {
                if (TrChipMenus::toggle (label, view))
                {
                    chartMemory = {};
                    // The live preview covers the dynamics transfer curve only.
                    if (liveMode && view.tab == TrTab::dynamics && view.chips.dynamicsView != 0)
                        setLiveMode (false);
                    settingsChanged();
                }
            };
        else if (face.kind == TrChips::menu)
        {
            if (auto menu = TrChipMenus::menuFor (face.label, view))
                chip.action = [this, m = *menu] { showChipMenu (m); };
        }
        else
        {
            chip.action = [this] { toggleAudition(); };
        }
        chips.push_back (std::move (chip));
    }
    return chips;
}

void TrMainComponent::showChipMenu (const TrChipMenus::Menu& menu)
{
    juce::PopupMenu popup;
    popup.setLookAndFeel (&menuLook);
    popup.addSectionHeader (menu.title);
    for (size_t i = 0; i < menu.items.size(); ++i)
        popup.addItem (static_cast<int> (i) + 1, menu.items[i].text, true, menu.items[i].ticked);

    popup.showMenuAsync (juce::PopupMenu::Options().withMousePosition(),
                         [weak = juce::Component::SafePointer<TrMainComponent> (this), menu] (int result) {
                             if (weak == nullptr || result < 1 || result > static_cast<int> (menu.items.size()))
                                 return;
                             const auto& item = menu.items[static_cast<size_t> (result - 1)];
                             if (item.choose == nullptr)
                             {
                                 weak->chooseTestSignal();
                                 return;
                             }
                             item.choose (weak->view.chips);
                             weak->settingsChanged();
                         });
}

void TrMainComponent::chooseTestSignal()
{
    signalChooser = std::make_unique<juce::FileChooser> ("Choose a test signal", settings.getLastBrowseDir(),
                                                         "*.wav;*.aif;*.aiff;*.flac;*.mp3");
    signalChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                                [weak = juce::Component::SafePointer<TrMainComponent> (this)] (const juce::FileChooser& fc) {
                                    const auto chosen = fc.getResult();
                                    if (weak == nullptr || chosen == juce::File())
                                        return;
                                    weak->view.chips.nullSignalFile = chosen.getFullPathName();
                                    weak->settingsChanged();
                                });
}

void TrMainComponent::settingsChanged()
{
    // Live follows: a new rate prepares the plugins again, anything else only re-targets.
    if (liveMode)
        setLiveMode (true);
    rebuildChart();
    repaint();
}

void TrMainComponent::dismissWelcome()
{
    onboardSeen = true;
    settings.props->setValue (onboardKey, true);
    settings.props->saveIfNeeded();
    repaint();
}

void TrMainComponent::mouseUp (const juce::MouseEvent& event)
{
    ++tooltipGeneration;
    hover.key = {};
    hideTooltip();

    const auto p = event.position;
    if (checkupShown)
    {
        for (const auto& [area, tab] : checkupTargets)
            if (area.contains (p))
            {
                selectTab (tab);
                break;
            }
        showCheckup (false);
        return;
    }

    if (! onboardSeen)
        dismissWelcome();

    if (layout.checkup.toFloat().contains (p))
    {
        startCheckup();
        return;
    }

    for (int i = 0; i < trTabCount; ++i)
        if (layout.railEntry (i).toFloat().contains (p))
        {
            railClicked (static_cast<TrTab> (i));
            return;
        }

    if (layout.measure.toFloat().contains (p))
    {
        startMeasurement();
        return;
    }
    if (layout.hold.toFloat().contains (p))
    {
        toggleHold();
        return;
    }
    if (layout.live.toFloat().contains (p))
    {
        // SCOPE is always live; PERF and CHECKS run offline only.
        if (view.tab != TrTab::scope && TrLiveView::tabCanGoLive (view.tab) && loadedCount() > 0)
            setLiveMode (! liveMode);
        return;
    }
    if (layout.exportButton.toFloat().contains (p))
    {
        if (tabHasResults (view))
            showExportMenu();
        return;
    }

    auto chips = currentChips();
    for (size_t i = 0; i < chips.size(); ++i)
        if (layout.chip (static_cast<int> (i)).toFloat().contains (p) && chips[i].action != nullptr)
        {
            chips[i].action();
            return;
        }
}

bool TrMainComponent::keyPressed (const juce::KeyPress& key)
{
    if (key.getModifiers().isCommandDown() && (key.getKeyCode() == 'C' || key.getKeyCode() == 'c'))
    {
        if (tabHasResults (view))
            copyReportCard();
        return true;
    }

    // The audition keys act only while something plays: Space never starts playback.
    if (! audition.isPlaying())
        return false;
    if (TrAuditionView::isStopKey (key))
    {
        toggleAudition();
        return true;
    }
    if (const auto mode = TrAuditionView::modeForKey (key))
    {
        audition.mode = *mode;
        repaint();
        return true;
    }
    return false;
}

std::tuple<juce::String, Tooltip, juce::Rectangle<float>> TrMainComponent::hoverAt (juce::Point<float> p)
{
    for (const auto& b : TrWindowButtons::all())
        if (auto area = (layout.*(b.area)).toFloat(); area.contains (p))
            return { b.name, TrWindowButtons::tooltipFor (b.name), area };

    for (int i = 0; i < trTabCount; ++i)
        if (auto area = layout.railEntry (i).toFloat(); area.contains (p))
            return { "tab" + juce::String (i), railTooltip (static_cast<TrTab> (i)), area };

    for (const auto& [area, label] : readoutAreas)
        if (area.contains (p))
            return { "readout" + label, readoutTooltip (label), area };

    auto chips = currentChips();
    for (size_t i = 0; i < chips.size(); ++i)
        if (auto area = layout.chip (static_cast<int> (i)).toFloat(); area.contains (p))
        {
            auto tip = TrChips::tooltipFor (chips[i].label, view);
            if (chips[i].action != nullptr)
                tip.title << suffixFor (chips[i].kind);
            return { "chip" + chips[i].label, tip, area };
        }
    return {};
}

void TrMainComponent::mouseMove (const juce::MouseEvent& event)
{
    const auto p = event.position;
    auto [key, tip, anchor] = hoverAt (p);

    int tab = -1, chip = -1;
    for (int i = 0; i < trTabCount; ++i)
        if (layout.railEntry (i).toFloat().contains (p))
            tab = i;
    const auto chipCount = static_cast<int> (TrChips::facesFor (view).size());
    for (int i = 0; i < chipCount; ++i)
        if (layout.chip (i).toFloat().contains (p))
            chip = i;
    const auto button = key.startsWith ("tab") || key.startsWith ("chip") ? juce::String() : key;

    if (tab != hoveredTab || chip != hoveredChip || button != hoveredButton)
    {
        hoveredTab = tab;
        hoveredChip = chip;
        hoveredButton = button;
        repaint();
    }
    setHover (key, tip, anchor);
}

void TrMainComponent::mouseExit (const juce::MouseEvent&)
{
    hoveredTab = hoveredChip = -1;
    hoveredButton = {};
    setHover ({}, {}, {});
    repaint();
}

void TrMainComponent::setHover (const juce::String& key, const Tooltip& tip, juce::Rectangle<float> anchor)
{
    if (key == hover.key)
        return;

    hover.key = key;
    const auto generation = ++tooltipGeneration;
    hideTooltip();
    if (tip.title.isEmpty() && tip.body.isEmpty())
        return;

    hover.tip = tip;
    hover.anchor = anchor;
    juce::Timer::callAfterDelay (tooltipDelayMs, [weak = juce::Component::SafePointer<TrMainComponent> (this), generation] {
        if (weak == nullptr || weak->tooltipGeneration != generation)
            return;
        weak->hover.visible = true;
        weak->repaint();
    });
}

void TrMainComponent::hideTooltip()
{
    if (! hover.visible)
        return;
    hover.visible = false;
    repaint();
}
