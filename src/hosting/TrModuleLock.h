#pragma once

#include <juce_core/juce_core.h>

/** JUCE's VST3 host keeps its loaded modules in one process-wide list without a lock, and the scan
    and the slots share the dead man's pedal file. Every thread that creates, scans or destroys a
    plugin, or writes the pedal, holds this lock while it does. */
namespace TrModuleLock
{
juce::CriticalSection& lock();

/** Names a plugin in the pedal file while its code first runs: if it takes the process down, the
    next start finds it there and passes over it. Removed again when the scope ends. */
class PedalEntry
{
public:
    PedalEntry (const juce::File& pedal, const juce::String& pathOrIdentifier);
    ~PedalEntry();

private:
    const juce::File pedal;
    const juce::String entry;

    JUCE_DECLARE_NON_COPYABLE (PedalEntry)
};
}
