#pragma once

#include <juce_events/juce_events.h>

#include <functional>

/** Plugin calls that hosts require on the message thread (re-preparing or resetting a VST3 or LV2
    plugin), made from a worker thread such as the measurement's. */
namespace TrMessageThread
{
/** Runs fn on the message thread and waits for it; at once when called there. The message
    thread runs it from its loop, or from serve() while it waits for this thread to end. False
    only when no message loop exists to run it. */
bool call (const std::function<void()>& fn);

/** Runs the calls worker threads are waiting for; does nothing off the message thread. For the
    message thread's own waits for workers, which would otherwise wait for each other. */
void serve();
}
