#include "TrMainComponent.h"

#include "UxPanelTheme.h"

TrMainComponent::TrMainComponent()
{
    setSize (defaultWidth, defaultHeight);
}

void TrMainComponent::paint (juce::Graphics& g)
{
    UxPanelTheme::ambientBackdrop (g, getLocalBounds().toFloat(), UxPanelTheme::Colours::gold, 1.0f);
}
