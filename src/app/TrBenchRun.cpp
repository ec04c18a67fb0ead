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
}
