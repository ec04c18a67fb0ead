#include "TrMainComponent.h"

#include "TrMessage.h"

// The main component's live preview: LIVE, automatic live, and what follows the active tab.

void TrMainComponent::setLiveMode (bool on)
{
    if (on && engine.isBusy())
    {
        TrMessage::show (this, "LIVE", "A measurement is running. Switch LIVE on once it has finished.", false);
        return;
    }

    liveMode = on;
    if (! on)
    {
        liveEngine.setSettings ({});
        gradeHold = {};
        if (! engine.isBusy())
            stopTimer();
        repaint();
        return;
    }

    audition.stop();
    const auto rate = view.chips.sampleRate;
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& slot = slotManager.slot (i);
        if (! slot.isLoaded())
            continue;
        // Preparing again costs an LV2 plugin its instance and editor view: only when needed.
        if (slot.sampleRate != rate || slot.blockSize != TrLiveEngine::blockSize)
            slot.prepare (rate, TrLiveEngine::blockSize);
        const juce::ScopedLock sl (slot.lock);
        if (slot.instance != nullptr)
        {
            slot.instance->setNonRealtime (false);
            slot.instance->reset();
        }
    }
    applyLiveParams();
    startTimer (liveTimerMs);
    repaint();
}

void TrMainComponent::applyLiveParams()
{
    if (liveMode)
        liveEngine.setSettings (TrLiveView::settingsFor (view));
}

void TrMainComponent::maybeAutoLive()
{
    if (liveMode || engine.isBusy() || audition.isPlaying() || ! TrLiveView::tabCanGoLive (view.tab) || loadedCount() == 0
        || tabHasResults (view))
        return;
    setLiveMode (true);
}

void TrMainComponent::railClicked (TrTab tab)
{
    selectTab (tab);
    if (liveMode || tab == TrTab::scope)
        setLiveMode (true);
    else
        maybeAutoLive();
}
