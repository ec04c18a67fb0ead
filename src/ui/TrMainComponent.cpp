#include "TrMainComponent.h"

#include "TrTheme.h"
#include "UxPanelTheme.h"

TrMainComponent::TrMainComponent()
{
    setSize (defaultWidth, defaultHeight);
}

void TrMainComponent::paint (juce::Graphics& g)
{
    UxPanelTheme::ambientBackdrop (g, getLocalBounds().toFloat(), UxPanelTheme::Colours::gold, 1.0f);
    TrTheme::drawBrandLogo (g, getLocalBounds().toFloat().withSizeKeepingCentre (96.0f, 96.0f),
                            UxPanelTheme::Colours::textDim.withAlpha (0.35f));
}
