#include "TrModuleLock.h"

namespace
{
// The framework writes the pedal as UTF-16 with a byte-order mark; so does this, so that either
// reader takes the other's entries.
void rewrite (const juce::File& pedal, const std::function<void (juce::StringArray&)>& change)
{
    juce::StringArray lines;
    if (pedal.existsAsFile())
        lines.addLines (pedal.loadFileAsString());
    lines.removeEmptyStrings();
    change (lines);
    if (lines.isEmpty())
        pedal.deleteFile();
    else if (pedal.getParentDirectory().createDirectory())
        pedal.replaceWithText (lines.joinIntoString ("\n"), true, true);
}
}

juce::CriticalSection& TrModuleLock::lock()
{
    static juce::CriticalSection modules;
    return modules;
}

TrModuleLock::PedalEntry::PedalEntry (const juce::File& pedalFile, const juce::String& pathOrIdentifier)
    : pedal (pedalFile), entry (pathOrIdentifier)
{
    if (pedal == juce::File() || entry.isEmpty())
        return;
    const juce::ScopedLock hold (lock());
    rewrite (pedal, [this] (juce::StringArray& lines) { lines.addIfNotAlreadyThere (entry); });
}

TrModuleLock::PedalEntry::~PedalEntry()
{
    if (pedal == juce::File() || entry.isEmpty())
        return;
    const juce::ScopedLock hold (lock());
    rewrite (pedal, [this] (juce::StringArray& lines) { lines.removeString (entry); });
}
