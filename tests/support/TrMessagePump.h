#pragma once

#include <functional>

namespace TrTest
{
/** Handles the window system's and JUCE's messages for a while, as the running application would. */
void pumpMessages (int milliseconds);

/** Handles messages until the test holds, checking it every few milliseconds; false when it still
    does not after the limit. */
bool pumpUntil (int limitMs, const std::function<bool()>& holds);
}
