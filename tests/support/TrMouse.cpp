#include "TrMouse.h"

juce::MouseEvent TrTest::mouseAt (juce::Component& c, juce::Point<float> position, juce::Point<float> pressedAt, int clicks)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, now, pressedAt, now, clicks, false);
}
