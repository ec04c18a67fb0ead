// The X11 declarations behind JUCE's window system, so the hints go out on JUCE's own
// connection, ordered after what JUCE itself wrote.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

#include "TrWindowHints.h"

namespace TrWindowHints
{
void publishSizeLimits (juce::ResizableWindow& window)
{
    auto* peer = window.getPeer();
    auto* limits = window.getConstrainer();
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    if (peer == nullptr || limits == nullptr || display == nullptr)
        return;

    // The same physical sizes JUCE computes: scaled, less the native frame.
    const auto scale = peer->getPlatformScaleFactor();
    const auto framed = peer->getFrameSizeIfPresent();
    const auto frame = framed ? *framed : juce::BorderSize<int>();
    const auto bounds = (peer->getBounds().toDouble() * scale).toNearestInt();
    const auto physical = [scale] (int size, int border) { return juce::jmax (1, static_cast<int> (scale * size) - border); };

    XSizeHints hints {};
    hints.flags = USPosition | USSize | PMinSize | PMaxSize;
    hints.x = bounds.getX();
    hints.y = bounds.getY();
    hints.width = bounds.getWidth();
    hints.height = bounds.getHeight();
    hints.min_width = physical (limits->getMinimumWidth(), frame.getLeftAndRight());
    hints.min_height = physical (limits->getMinimumHeight(), frame.getTopAndBottom());
    hints.max_width = physical (limits->getMaximumWidth(), frame.getLeftAndRight());
    hints.max_height = physical (limits->getMaximumHeight(), frame.getTopAndBottom());

    const juce::XWindowSystemUtilities::ScopedXLock xLock;
    auto* x11 = juce::X11Symbols::getInstance();
    x11->xSetWMNormalHints (display, static_cast<::Window> (reinterpret_cast<juce::pointer_sized_uint> (peer->getNativeHandle())), &hints);
    x11->xFlush (display);
}
}
