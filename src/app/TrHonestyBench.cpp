#include "TrHonestyBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "results/TrLatencyRule.h"
#include "results/TrNumberFormat.h"

#include <cmath>
#include <optional>

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::plain;

juce::String latencyFlags (const TrChecksResult& r)
{
    juce::String flags;
    if (r.latencyAtSearchLimit)
        flags << "  (!) at search limit - true latency may be larger";
    if (r.latencyUnclear)
        flags << (r.timeVariant ? "  (!) response changes between probes" : r.responseSpread ? "  (!) response spread out like a reverb's" : "  (!) no clear response")
              << " - the delay cannot be verified";
    if (r.reportedLatency != r.reportedLatencyAfter)
        flags << "  (!) drifts after audio";
    const auto fit = r.latencyUnclear || r.latencyAtSearchLimit ? TrLatencyFit::agrees
                                                                : fitOfLatency (r.measuredLatency, r.reportedLatencyAfter, r.arrivalEarliest, r.arrivalLatest);
    if (fit == TrLatencyFit::disagrees)
        flags << "  (!) reported != measured";
    if (fit == TrLatencyFit::dispersed)
        flags << "  (!) " << arrivalSpreadText (r.arrivalEarliest, r.arrivalLatest) << " - the delay cannot be verified";
    return flags;
}

juce::String checksReport (const TrPluginSlot& slot, const TrChecksResult& r)
{
    const auto bypass = r.bypassFound ? fixed (r.bypassNullDb, 1) + " dB"
                                          + (r.bypassNullDb > -60.0 ? "  (!) bypass colors the signal" : "  (honest bypass)")
                                      : juce::String ("no bypass parameter exposed");

    juce::String out;
    out << "plugin:      " << TrBenchRun::pluginLine (slot) << "\n"
        << "rate:        " << plain (r.sampleRate) << " Hz\n"
        << "latency:     reported " << r.reportedLatency << " -> " << r.reportedLatencyAfter << " smp, measured "
        << (r.latencyUnclear ? juce::String ("n/a") : fixed (r.measuredLatency, 1) + " smp")
        << latencyFlags (r) << "\n"
        << "bypass null: " << bypass << "\n"
        << "polarity:    " << (r.polarityInverted ? "INVERTED (!) - cancels in parallel chains" : "normal") << "\n"
        << "DC (signal): " << fixed (r.dcSignalDbfs, 1) << " dBFS\n"
        << "DC (idle):   " << fixed (r.dcIdleDbfs, 1) << " dBFS\n"
        << "self-noise:  " << (r.selfNoiseDbfs < -140.0 ? juce::String ("silent (< -140 dBFS)") : fixed (r.selfNoiseDbfs, 1) + " dBFS") << "\n"
        << "verdict:     " << TrBenchRun::verdictText (TrVerdict::forChecks (r)) << "\n";
    return out;
}

void checksFigures (const TrChecksResult& r)
{
    using namespace TrBenchJson;
    set ("results", object ({ { "reported_latency_samples", r.reportedLatency },
                              { "reported_latency_after_audio_samples", r.reportedLatencyAfter },
                              { "measured_latency_samples", r.latencyUnclear ? juce::var() : figure (r.measuredLatency, 1) },
                              { "latency_at_search_limit", r.latencyAtSearchLimit },
                              { "latency_unclear", r.latencyUnclear },
                              { "time_variant", r.timeVariant },
                              { "response_spread", r.responseSpread },
                              { "bypass_found", r.bypassFound },
                              { "bypass_null_db", r.bypassFound ? figure (r.bypassNullDb, 1) : juce::var() },
                              { "polarity_inverted", r.polarityInverted },
                              { "dc_signal_dbfs", figure (r.dcSignalDbfs, 1) },
                              { "dc_idle_dbfs", figure (r.dcIdleDbfs, 1) },
                              { "self_noise_dbfs", figure (r.selfNoiseDbfs, 1) } }));
    set ("verdict", verdict (TrVerdict::forChecks (r)));
}

/** Reads the command line of the checks or the checkup and its rate; nothing when the mode is
    already over with status 1. */
std::optional<TrBenchArgs> readRateAndPath (const juce::StringArray& args, const juce::String& flag, double& rate)
{
    auto options = TrBenchRun::readArgs (args, flag);
    if (! options)
        return std::nullopt;

    rate = options->number ("--sr", 48000.0);
    if (const auto problem = TrParamChecks::sampleRate (rate, "--sr"); problem.isNotEmpty())
    {
        TrBenchRun::fail (problem);
        return std::nullopt;
    }

    return options;
}
}

int runChecksBenchMode (const juce::StringArray& args)
{
    TrChecksAnalyzer::Params params;
    const auto options = readRateAndPath (args, "--bench-checks", params.sampleRate);
    if (! options)
        return 1;

    params.blockSize = TrBenchRun::blockSize;
    TrBenchJson::settings (params.sampleRate, options->all ("--param"));
    return TrBenchRun::measureAndReport (*options, params.sampleRate, params, TrChecksAnalyzer::run, checksReport, checksFigures);
}

int runCheckupBenchMode (const juce::StringArray& args)
{
    double rate = 0.0;
    const auto options = readRateAndPath (args, "--bench-checkup", rate);
    if (! options)
        return 1;

    TrBenchJson::settings (rate, options->all ("--param"));
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, options->path(), rate, options->all ("--param")))
        return 1;

    TrHarmonicsAnalyzer::Params tone;
    TrFreqResponseAnalyzer::Params curve;
    TrChecksAnalyzer::Params checks;
    tone.sampleRate = curve.sampleRate = checks.sampleRate = rate;
    tone.blockSize = curve.blockSize = checks.blockSize = TrBenchRun::blockSize;
    curve.repeat = true;

    // A failing analyzer does not stop the checkup: its verdict tells of the failure.
    const auto harmonicsResult = TrHarmonicsAnalyzer::run (slot, tone, nullptr, {});
    const auto curveResult = TrFreqResponseAnalyzer::run (slot, curve, nullptr, {});
    const auto checksResult = TrChecksAnalyzer::run (slot, checks, nullptr, {});
    const auto checkup = TrVerdict::forCheckup (&harmonicsResult, &curveResult, &checksResult);

    juce::String out;
    out << "plugin:   " << TrBenchRun::pluginLine (slot) << "\n"
        << "rate:     " << plain (rate) << " Hz\n"
        << "overall:  " << TrBenchRun::verdictText (checkup.overall) << "\n"
        << "  sound:  " << TrBenchRun::verdictText (checkup.harmonics) << "\n"
        << "  tone:   " << TrBenchRun::verdictText (checkup.curve) << "\n"
        << "  honest: " << TrBenchRun::verdictText (checkup.checks) << "\n";
    TrConsole::print (out);

    const auto failed = harmonicsResult.error.isNotEmpty() || curveResult.error.isNotEmpty() || checksResult.error.isNotEmpty();
    using namespace TrBenchJson;
    set ("results", object ({ { "sound", verdict (checkup.harmonics) }, { "tone", verdict (checkup.curve) }, { "honest", verdict (checkup.checks) } }));
    set ("verdict", verdict (checkup.overall));
    for (const auto& [part, error] : { std::pair { "sound", harmonicsResult.error }, std::pair { "tone", curveResult.error },
                                       std::pair { "honest", checksResult.error } })
        if (error.isNotEmpty())
            TrBenchJson::fail (juce::String (part) + ": " + error);
    return failed ? 1 : 0;
}
