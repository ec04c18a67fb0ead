#include "TrTheme.h"

#include "UxLogo.h"

void TrTheme::drawBrandLogo (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour)
{
    const auto& logo = UxLogo::getLogoPath();
    g.setColour (colour);
    g.fillPath (logo, logo.getTransformToScaleToFit (area, true));
}
