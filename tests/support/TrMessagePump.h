#pragma once

namespace TrTest
{
/** Handles the window system's and JUCE's messages for a while, as the running application would. */
void pumpMessages (int milliseconds);
}
