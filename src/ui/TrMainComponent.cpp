#include "TrMainComponent.h"

TrMainComponent::TrMainComponent()
{
    setSize (defaultWidth, defaultHeight);
}

void TrMainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff0c0b0e));
}
