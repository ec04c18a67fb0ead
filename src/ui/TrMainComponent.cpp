#include "TrMainComponent.h"

#include "TrMessage.h"
#include "TrTheme.h"
#include "UxPanelTheme.h"
#include "app/TrConsole.h"
#include "settings/TrSessionRestore.h"

TrMainComponent::TrMainComponent()
{
    setSize (defaultWidth, defaultHeight);
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        slotManager.slot (i).loadPedal = TrPluginScanner::pedalFile (settings);
    idlePump.startThread();

    // After the window is shown, so that a panel has somewhere to appear.
    juce::MessageManager::callAsync ([weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        if (weak != nullptr)
            weak->restoreSession();
    });
}

TrMainComponent::~TrMainComponent()
{
    stopTimer();
    idlePump.stopThread (10000);
}

void TrMainComponent::restoreSession()
{
    const auto outcome = TrSessionRestore::begin (settings, slotManager, scanner.getSnapshot());
    for (const auto& line : outcome.lines)
        TrConsole::print (line + "\n");
    if (outcome.title.isNotEmpty())
        TrMessage::show (this, outcome.title, outcome.text, outcome.error);

    // The flag stays on disk while restored plugins first play: one that crashes while processing
    // is then not restored at the next start either.
    if (outcome.restored > 0)
        startTimer (TrSessionRestore::probationMs);
    else
        TrSessionRestore::finish (settings);
}

void TrMainComponent::timerCallback()
{
    stopTimer();
    TrSessionRestore::finish (settings);
}

void TrMainComponent::paint (juce::Graphics& g)
{
    UxPanelTheme::ambientBackdrop (g, getLocalBounds().toFloat(), UxPanelTheme::Colours::gold, 1.0f);
    TrTheme::drawBrandLogo (g, getLocalBounds().toFloat().withSizeKeepingCentre (96.0f, 96.0f),
                            UxPanelTheme::Colours::textDim.withAlpha (0.35f));
}
