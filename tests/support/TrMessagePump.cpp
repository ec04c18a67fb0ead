#include "TrMessagePump.h"

#include <juce_events/juce_events.h>

namespace juce
{
// JUCE's own step of its message loop, which its dispatch loop runs; declared where it is defined.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

void TrTest::pumpMessages (int milliseconds)
{
    const auto until = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (milliseconds);
    while (juce::Time::getMillisecondCounter() < until)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (5);
}

bool TrTest::pumpUntil (int limitMs, const std::function<bool()>& holds)
{
    for (int waited = 0; waited < limitMs; waited += 5)
    {
        if (holds())
            return true;
        pumpMessages (5);
    }
    return holds();
}
