#include "UxLogo.h"

namespace
{
juce::Path buildLogo()
{
    juce::Path logo;
    logo.setUsingNonZeroWinding (false);
    logo.addEllipse (2.0f, 2.0f, 96.0f, 96.0f);
    logo.addEllipse (10.0f, 10.0f, 80.0f, 80.0f);

    // A sine from the left that the right half clips at +-0.55 of its swing.
    juce::Path wave;
    constexpr int steps = 96;
    for (int i = 0; i <= steps; ++i)
    {
        const auto t = static_cast<float> (i) / steps;
        auto v = std::sin (t * juce::MathConstants<float>::twoPi * 1.5f);
        if (t > 0.5f)
            v = juce::jlimit (-0.55f, 0.55f, v * 1.6f);
        const juce::Point<float> p (18.0f + 64.0f * t, 50.0f - 24.0f * v);
        if (i == 0)
            wave.startNewSubPath (p);
        else
            wave.lineTo (p);
    }

    juce::Path stroke;
    juce::PathStrokeType (7.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath (stroke, wave);
    logo.addPath (stroke);
    return logo;
}
}

const juce::Path& UxLogo::getLogoPath()
{
    static const juce::Path logo = buildLogo();
    return logo;
}
