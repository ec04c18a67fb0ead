#include "TrDynamicsBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "analyzers/TrDynamicsAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;

constexpr int maxRuns = 20;

juce::String timeOrDash (double ms)
{
    return ms >= 0.0 ? fixed (ms, 1) + " ms" : juce::String ("-");
}

juce::String runLine (int k, const TrDynamicsResult& r)
{
    return "run " + juce::String (k) + ":  thresh " + fixed (r.thresholdDb, 2) + " dB  ratio " + fixed (r.ratio, 2) + ":1  knee "
         + fixed (r.kneeDb, 2) + " dB  makeup " + fixed (r.makeupDb, 3) + " dB  attack " + timeOrDash (r.attackMs) + "  release "
         + timeOrDash (r.releaseMs) + "\n";
}

bool consistent (const TrDynamicsResult& first, const TrDynamicsResult& later)
{
    return std::abs (later.makeupDb - first.makeupDb) <= 0.1 && std::abs (later.thresholdDb - first.thresholdDb) <= 1.0
        && std::abs (later.ratio - first.ratio) <= 0.2;
}
}

int runDynamicsBenchMode (const juce::StringArray& args)
{
    const TrBenchArgs options (args, { "--bench-dyn", "--sr", "--runs", "--burst" });

    TrDynamicsAnalyzer::Params params;
    params.sampleRate = options.number ("--sr", params.sampleRate);
    params.blockSize = TrBenchRun::blockSize;
    // --sc takes no value: it is no option of the walk, whatever follows it is read normally.
    params.externalSidechain = args.contains ("--sc");
    if (options.has ("--burst") && options.text ("--burst") != "auto")
    {
        params.autoBurst = false;
        params.burstHighDb = options.text ("--burst").getDoubleValue();
    }

    const auto runs = std::max (1, options.integer ("--runs", 2));
    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        runs > maxRuns ? "--runs must be at most 20, got " + juce::String (runs) : juce::String(),
                                                        params.autoBurst ? juce::String() : TrParamChecks::level (params.burstHighDb, "--burst") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, options.text ("--bench-dyn"), params.sampleRate))
        return 1;

    TrDynamicsResult first;
    bool allConsistent = true;

    for (int k = 1; k <= runs; ++k)
    {
        const auto result = TrDynamicsAnalyzer::run (slot, params, nullptr, {});
        if (result.error.isNotEmpty())
        {
            TrConsole::print ("error (run " + juce::String (k) + "): " + result.error + "\n");
            return 1;
        }

        TrConsole::print (runLine (k, result));

        if (k == 1)
        {
            first = result;
            TrConsole::print ("burst:  " + fixed (result.burstLowDb, 1) + " -> " + fixed (result.burstHighDb, 1) + " dBFS"
                              + (params.autoBurst ? " (auto)" : "") + (result.externalSidechain ? "  via ext sidechain" : "") + "\n");
        }
        else if (! consistent (first, result))
        {
            allConsistent = false;
        }
    }

    if (! allConsistent)
    {
        TrConsole::print ("INCONSISTENT across runs - plugin state does not reset cleanly\n");
        return 2;
    }

    TrConsole::print ("CONSISTENT across runs\n");
    return 0;
}
