#include "TrMainComponent.h"

#include "TrHold.h"
#include "TrMeasurementRuns.h"
#include "TrMessage.h"
#include "TrReadoutRows.h"
#include "app/TrCrashLog.h"

// The main component's measurement runs: MEASURE, CHECKUP, CANCEL and HOLD.

void TrMainComponent::timerCallback()
{
    // Runs while a job does: only the progress and the verdict band change, not the chart, which
    // would otherwise be drawn again 30 times a second beside the measurement.
    if (engine.isBusy())
    {
        repaint (layout.bottomBar);
        repaint (layout.verdictBand);
        return;
    }
    if (audition.isPlaying())
    {
        pollAudition();
        return;
    }
    if (! liveMode)
    {
        stopTimer();
        repaint();
        return;
    }
    if (TrLiveView::copyResults (liveEngine, view))
    {
        gradeHold.advance (buildVerdictRows (view));
        rebuildChart();
        repaint (layout.content);
    }
}

void TrMainComponent::stopMeasuring()
{
    TrCrashLog::stopOrEndProcess (engine, 5000);
}

void TrMainComponent::runJob (std::function<void()> job, std::function<void()> onDone)
{
    audition.stop();
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        if (slotManager.slot (i).isLoaded())
            slotManager.slot (i).prepare (view.chips.sampleRate, 512);

    if (engine.start (std::move (job), std::move (onDone)))
        startTimer (33);
    repaint();
}

void TrMainComponent::startMeasurement()
{
    if (engine.isBusy())
    {
        engine.signalThreadShouldExit();
        return;
    }

    const auto loaded = loadedCount();
    if (loaded == 0 || view.tab == TrTab::scope)
        return;
    if (view.tab == TrTab::nullAb && loaded < 2)
    {
        TrMessage::show (this, "NULL / AB", "Load plugins into BOTH slots to compare them.", false);
        return;
    }
    if (liveMode)
        setLiveMode (false);
    if (view.tab == TrTab::perf && scanner->isThreadRunning())
        TrMessage::show (this, "PERF",
                         "A plugin scan is running and competes for the processor: the cost read now comes out high. Measure again once the scan has finished.",
                         false);

    pending = {};
    const auto tab = view.tab;
    const auto mode = view.chips.harmonicsMode;
    auto job = TrMeasurementRuns::jobFor (view, slotManager, pending, &engine.progress, [this] { return engine.threadShouldExit(); });
    runJob (std::move (job), [weak = juce::Component::SafePointer<TrMainComponent> (this), tab, mode] {
        if (weak == nullptr)
            return;
        TrMeasurementRuns::publish (tab, mode, weak->pending, weak->view.stores);
        weak->rebuildChart();
        weak->repaint();
    });
}

void TrMainComponent::startCheckup()
{
    if (engine.isBusy())
    {
        engine.signalThreadShouldExit();
        return;
    }
    if (loadedCount() == 0)
        return;

    if (liveMode)
        setLiveMode (false);
    showCheckup (false);
    pending = {};
    auto job = TrMeasurementRuns::checkupJob (view, slotManager, pending, &engine.progress, [this] { return engine.threadShouldExit(); });
    runJob (std::move (job), [weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        if (weak == nullptr)
            return;
        TrMeasurementRuns::publishCheckup (weak->pending, weak->view.stores);
        weak->showCheckup (true);
        weak->rebuildChart();
        weak->repaint();
    });
}

void TrMainComponent::showCheckup (bool shown)
{
    // The overlay takes every click, also those over the chart and the slot cards.
    checkupShown = shown;
    for (auto* child : { static_cast<juce::Component*> (slotStrip.get()), static_cast<juce::Component*> (&chartView) })
        child->setInterceptsMouseClicks (! shown, ! shown);
    repaint();
}

void TrMainComponent::toggleHold()
{
    TrHold::toggle (view, chartView.getModel());
    rebuildChart();
    repaint();
}
