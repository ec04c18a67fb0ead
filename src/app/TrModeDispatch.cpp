#include "TrModeDispatch.h"

#include "TrBenchJson.h"
#include "TrCardBench.h"
#include "TrConsole.h"
#include "TrDynamicsBench.h"
#include "TrHarmonicsBench.h"
#include "TrHelp.h"
#include "TrHonestyBench.h"
#include "TrListParams.h"
#include "TrLiveBench.h"
#include "TrPerfBench.h"
#include "TrResponseBench.h"

#include <new>
#include <stdexcept>

namespace TrModeDispatch
{
const std::vector<Mode>& modes()
{
    // Help and version come first: asked beside a mode, they answer the question instead.
    static const std::vector<Mode> table {
        { "--help", runHelpMode },
        { "-h", runHelpMode },
        { "--version", runVersionMode },
        { "--bench", runHarmonicsBenchMode },
        { "--bench-curve", runCurveBenchMode },
        { "--bench-null", runNullBenchMode },
        { "--bench-dyn", runDynamicsBenchMode },
        { "--bench-thd", runThdBenchMode },
        { "--bench-imd", runImdBenchMode },
        { "--bench-perf", runPerfBenchMode },
        { "--bench-live", runLiveBenchMode },
        { "--bench-checkup", runCheckupBenchMode },
        { "--bench-checks", runChecksBenchMode },
        { "--list-params", runListParamsMode },
        { "--bench-card-ab", runCardAbBenchMode },
        { "--bench-card", runCardBenchMode },
    };
    return table;
}

const Mode* findMode (const juce::StringArray& args)
{
    for (const auto& mode : modes())
        if (args.contains (mode.flag, false))
            return &mode;

    return nullptr;
}

bool loadsPlugins (const Mode& mode)
{
    return mode.run != runHelpMode && mode.run != runVersionMode;
}

bool allowsSeveralInstances (const juce::String& commandLineText)
{
    if (commandLineText.contains ("--bench") || commandLineText.contains ("--list-params"))
        return true;

    const auto words = juce::StringArray::fromTokens (commandLineText, true);
    return words.contains ("--help", false) || words.contains ("-h", false) || words.contains ("--version", false);
}

namespace
{
int failWith (const juce::String& text)
{
    TrConsole::print ("error: " + text + "\n");
    TrBenchJson::fail (text);
    return 1;
}

int runCaught (const Mode& mode, const juce::StringArray& args)
{
    try
    {
        return mode.run (args);
    }
    catch (const std::bad_alloc&)
    {
        return failWith ("out of memory");
    }
    catch (const std::exception& e)
    {
        return failWith (e.what());
    }
    catch (...)
    {
        return failWith ("unexpected failure");
    }
}
}

int runGuarded (const Mode& mode, const juce::StringArray& args)
{
    const auto status = runCaught (mode, args);
    TrBenchJson::finish (status);
    return status;
}
}
