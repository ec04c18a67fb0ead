#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Tells the X11 window manager a window's size limits. JUCE writes them before it replaces the
    window's size hints with its position and size on every move, so without this the limits
    survive only when the server happens to answer with a configure event afterwards. */
namespace TrWindowHints
{
    /** Writes position, size and the constrainer's minimum and maximum size into the window's
        WM_NORMAL_HINTS; does nothing for a window without a native peer or constrainer. */
    void publishSizeLimits (juce::ResizableWindow& window);
}
