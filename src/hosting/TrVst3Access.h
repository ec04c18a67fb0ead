#pragma once

#include <juce_core/juce_core.h>

/** JUCE's VST3 host keeps its loaded modules in one process-wide list without a lock. Every
    thread that creates, scans or destroys a VST3 plugin holds this lock while it does. */
namespace TrVst3Access
{
juce::CriticalSection& lock();
}
