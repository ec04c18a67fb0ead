#include "TrBenchRun.h"

#include "TrConsole.h"

namespace TrBenchRun
{
int fail (const juce::String& text)
{
    TrConsole::print ("error: " + text + "\n");
    return 1;
}

bool load (TrPluginSlot& slot, const juce::String& path, double prepareRate, const juce::String& errorPrefix)
{
    juce::String error;
    if (! slot.loadFromArgument (path, error))
    {
        TrConsole::print (errorPrefix + error + "\n");
        return false;
    }

    slot.prepare (prepareRate, blockSize);
    return true;
}

juce::String pluginLine (const TrPluginSlot& slot)
{
    return slot.description.name + " (" + slot.description.pluginFormatName + ")";
}

juce::String verdictText (const TrVerdict::Verdict& verdict)
{
    return verdict.text + (verdict.detail.isNotEmpty() ? " - " + verdict.detail : juce::String());
}

bool printUsageIfNoPath (const juce::String& path, const juce::String& usage)
{
    if (path.isNotEmpty())
        return false;

    TrConsole::print (usage);
    return true;
}
}
