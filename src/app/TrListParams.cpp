#include "TrListParams.h"

#include "TrConsole.h"
#include "hosting/TrPluginSlot.h"
#include "hosting/TrSlotManager.h"

namespace
{
juce::String lastValueOf (const juce::StringArray& args, const juce::String& flag)
{
    juce::String value;

    for (int i = 0; i + 1 < args.size(); ++i)
        if (args[i] == flag)
            value = args[i + 1];

    return value;
}
}

int runListParamsMode (const juce::StringArray& args)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);

    juce::String error;
    if (! slot.loadFromArgument (lastValueOf (args, "--list-params"), error))
    {
        TrConsole::print ("error: " + error + "\n");
        return 1;
    }

    const auto& params = slot.instance->getParameters();
    for (int i = 0; i < params.size(); ++i)
    {
        const auto* p = params[i];
        TrConsole::print ("[" + juce::String (i) + "]  " + p->getName (128) + "  =  "
                          + p->getText (p->getValue(), 64) + "   (norm "
                          + juce::String (p->getValue(), 3) + ")\n");
    }

    return 0;
}
