#include "TrListParams.h"

#include "TrBenchRun.h"
#include "TrConsole.h"
#include "hosting/TrPluginSlot.h"
#include "hosting/TrSlotManager.h"

int runListParamsMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--list-params");
    if (! options)
        return 1;

    TrSlotManager manager;
    auto& slot = manager.slot (0);

    juce::String error;
    if (! slot.loadFromArgument (options->path(), error))
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
