#include "TrMouse.h"

juce::MouseEvent TrTest::mouseAt (juce::Component& c, juce::Point<float> position, juce::Point<float> pressedAt, int clicks)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &c, &c, now, pressedAt, now, clicks, false);
}

namespace
{
void sendThroughPeer (juce::Component& c, juce::Point<float> position, juce::ModifierKeys buttons)
{
    auto* peer = c.getPeer();
    if (peer == nullptr)
        return;
    const auto inPeer = peer->getComponent().getLocalPoint (&c, position);
    // The real pointer goes there too: the framework re-reads it, and popups open where it is.
    juce::Desktop::setMousePosition (c.localPointToGlobal (position).roundToInt());
    juce::ModifierKeys::currentModifiers = buttons;
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, inPeer, buttons,
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                            juce::Time::currentTimeMillis());
}
}

void TrTest::moveThroughWindow (juce::Component& c, juce::Point<float> position)
{
    sendThroughPeer (c, position, {});
}

void TrTest::clickThroughWindow (juce::Component& c, juce::Point<float> position)
{
    sendThroughPeer (c, position, {});
    sendThroughPeer (c, position, juce::ModifierKeys::leftButtonModifier);
    sendThroughPeer (c, position, {});
}
