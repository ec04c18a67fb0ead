#include "TrDynamicsBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "analyzers/TrDynamicsAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "analyzers/TrStaticCurve.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;

constexpr int maxRuns = 20;

juce::String timeOrDash (double ms, double resolutionMs)
{
    if (ms < 0.0)
        return "-";
    return ms < resolutionMs ? "< " + fixed (resolutionMs, 1) + " ms" : fixed (ms, 1) + " ms";
}

juce::String ratioText (const TrDynamicsResult& r)
{
    if (r.shape == "expander")
        return "1:" + fixed (1.0 / r.ratio, 2);
    return r.ratio >= TrStaticCurve::largestRatio ? juce::String ("inf:1") : fixed (r.ratio, 2) + ":1";
}

juce::String runLine (int k, const TrDynamicsResult& r)
{
    const auto head = "run " + juce::String (k) + ":  ";
    const auto makeup = "makeup " + fixed (r.makeupDb, 3) + " dB";

    // Only a curve with a compressor's or an expander's shape has a threshold, ratio and knee.
    if (r.shape == "linear")
        return head + "no compression - the same gain at every level  " + makeup + "\n";
    if (r.shape == "irregular")
        return head + "no compressor curve - the gain wanders " + fixed (r.fitErrorDb, 2) + " dB RMS with level  " + makeup + "\n";
    if (r.shape == "gate")
        return head + "gates below " + fixed (r.thresholdDb, 2) + " dB  " + makeup + "\n";

    // Times need the burst to push the compressor into at least a decibel of gain reduction.
    const auto untimed = r.shape == "compressor" && r.attackMs < 0.0 && r.releaseMs < 0.0;
    const auto why = ! untimed ? juce::String()
                   : r.burstHighDb < r.thresholdDb ? "  (the burst stays below the threshold: raise --burst)"
                                                   : "  (the burst drew less than 1 dB of gain reduction)";

    return head + "thresh " + fixed (r.thresholdDb, 2) + " dB  ratio " + ratioText (r) + "  knee " + fixed (r.kneeDb, 2) + " dB  " + makeup
         + "  attack " + timeOrDash (r.attackMs, r.timeResolutionMs) + "  release " + timeOrDash (r.releaseMs, r.timeResolutionMs) + why + "\n";
}

/** One run as the document lists it: only a compressor's or an expander's curve has a ratio and
    a knee, only a compressor's times. */
juce::var runFigures (const TrDynamicsResult& r)
{
    using namespace TrBenchJson;
    const auto curve = r.shape == "compressor" || r.shape == "expander";
    const auto time = [&] (double ms) { return r.shape == "compressor" && ms >= 0.0 ? figure (ms, 1) : juce::var(); };
    return object ({ { "shape", r.shape },
                     { "threshold_db", curve || r.shape == "gate" ? figure (r.thresholdDb, 2) : juce::var() },
                     { "ratio", curve ? figure (r.ratio, 2) : juce::var() },
                     { "knee_db", curve ? figure (r.kneeDb, 2) : juce::var() },
                     { "makeup_db", figure (r.makeupDb, 3) },
                     { "fit_error_db", figure (r.fitErrorDb, 2) },
                     { "attack_ms", time (r.attackMs) },
                     { "release_ms", time (r.releaseMs) },
                     { "time_resolution_ms", figure (r.timeResolutionMs, 1) },
                     { "time_variant", r.timeVariant },
                     { "has_tail", r.hasTail },
                     { "delay_samples", r.delaySamples } });
}

/** The same shape, and figures within what a cleanly reset plugin repeats: make-up 0.1 dB,
    threshold 1 dB, the reduction slope (1 - 1/ratio) 0.02. */
bool consistent (const TrDynamicsResult& first, const TrDynamicsResult& later)
{
    if (later.shape != first.shape || std::abs (later.makeupDb - first.makeupDb) > 0.1)
        return false;
    if (first.shape == "linear" || first.shape == "irregular")
        return true;
    if (std::abs (later.thresholdDb - first.thresholdDb) > 1.0)
        return false;

    return first.shape == "gate" || std::abs (1.0 / later.ratio - 1.0 / first.ratio) <= 0.02;
}

/** Why runs of one plugin disagree, as far as the runs themselves tell. */
juce::String inconsistencyCause (const TrDynamicsResult& r, bool irregular)
{
    if (r.hasTail && r.timeVariant)
        return "its tail and its modulation outlast the gap between runs";
    if (r.hasTail)
        return "its tail outlasts the gap between runs (a reverb or delay)";
    if (r.timeVariant)
        return "it modulates itself (an LFO), so no two runs meet it in the same state";
    if (irregular)
        return "its gain wanders from step to step, as a modulated or ringing plugin's does";
    return "plugin state does not reset cleanly";
}
}

int runDynamicsBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-dyn");
    if (! options)
        return 1;

    TrDynamicsAnalyzer::Params params;
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.blockSize = TrBenchRun::blockSize;
    params.externalSidechain = options->has ("--sc");

    juce::String burstProblem;
    if (options->has ("--burst") && options->text ("--burst") != "auto")
    {
        params.autoBurst = false;
        const auto burst = TrNumberFormat::read (options->text ("--burst"));
        params.burstHighDb = burst.value_or (0.0);
        burstProblem = burst ? TrParamChecks::level (params.burstHighDb, "--burst")
                             : "--burst must be a level in dB or auto, got " + options->text ("--burst");
    }

    const auto runs = options->integer ("--runs", 2);
    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        runs < 1 || runs > maxRuns ? "--runs must be from 1 to 20, got " + juce::String (runs) : juce::String(),
                                                        burstProblem });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"),
                           { { "runs", runs }, { "external_sidechain", params.externalSidechain },
                             { "burst_high_dbfs", params.autoBurst ? juce::var ("auto") : juce::var (params.burstHighDb) } });
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, options->path(), params.sampleRate, options->all ("--param")))
        return 1;

    juce::Array<juce::var> runFiguresList;

    TrDynamicsResult first;
    bool allConsistent = true;
    bool tail = false, modulated = false, irregular = false;

    for (int k = 1; k <= runs; ++k)
    {
        const auto result = TrDynamicsAnalyzer::run (slot, params, nullptr, {});
        if (result.error.isNotEmpty())
        {
            TrConsole::print ("error (run " + juce::String (k) + "): " + result.error + "\n");
            TrBenchJson::fail ("run " + juce::String (k) + ": " + result.error);
            return 1;
        }

        TrConsole::print (runLine (k, result));
        runFiguresList.add (runFigures (result));
        tail = tail || result.hasTail;
        modulated = modulated || result.timeVariant;
        irregular = irregular || result.shape == "irregular";

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

    auto causes = first;
    causes.hasTail = tail;
    causes.timeVariant = modulated;
    const auto cause = allConsistent ? juce::String() : inconsistencyCause (causes, irregular);
    TrBenchJson::set ("results", TrBenchJson::object ({ { "burst_low_dbfs", TrBenchJson::figure (first.burstLowDb, 1) },
                                                        { "burst_high_dbfs", TrBenchJson::figure (first.burstHighDb, 1) },
                                                        { "runs", runFiguresList },
                                                        { "consistent", allConsistent },
                                                        { "inconsistency_cause", cause.isEmpty() ? juce::var() : juce::var (cause) } }));
    TrBenchJson::set ("verdict", TrBenchJson::verdict (TrVerdict::forDynamics (first)));

    if (! allConsistent)
    {
        TrConsole::print ("INCONSISTENT across runs - " + cause + "\n");
        return 2;
    }

    TrConsole::print ("CONSISTENT across runs\n");
    return 0;
}
