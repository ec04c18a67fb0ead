#include "TrResponseBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrNullAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "results/TrLatencyRule.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::plain;

constexpr double tableHz[] { 30.0, 100.0, 300.0, 1000.0, 3000.0, 10000.0, 20000.0 };

TrChannelMode channelFrom (const juce::String& text)
{
    if (text == "right")
        return TrChannelMode::right;
    if (text == "mid")
        return TrChannelMode::mid;
    if (text == "side")
        return TrChannelMode::side;
    return TrChannelMode::left;
}

struct Range
{
    double low = 1e9, high = -1e9;

    void include (double v)
    {
        low = std::min (low, v);
        high = std::max (high, v);
    }
};

/** What both reports show of a curve: its in-band ranges and the table's rows. */
struct CurveSummary
{
    Range magnitude, phase;

    struct Row
    {
        int hz;
        double db, deg;
    };
    std::vector<Row> rows;

    CurveSummary (const TrCurveResult& r, double requestedRate)
    {
        for (size_t i = 0; i < r.freqHz.size(); ++i)
        {
            if (r.freqHz[i] >= 50.0f && r.freqHz[i] <= 0.4 * requestedRate)
            {
                magnitude.include (r.magDb[i]);
                phase.include (r.phaseDeg[i]);
            }
        }

        for (const auto hz : tableHz)
        {
            // A row above the curve's last point would show that point under another frequency.
            if (r.freqHz.empty() || hz > r.freqHz.back())
                break;

            size_t nearest = 0;
            for (size_t i = 1; i < r.freqHz.size(); ++i)
                if (std::abs (r.freqHz[i] - hz) < std::abs (r.freqHz[nearest] - hz))
                    nearest = i;

            rows.push_back ({ static_cast<int> (hz), r.magDb[nearest], r.phaseDeg[nearest] });
        }
    }
};

juce::String curveReport (const TrPluginSlot& slot, const TrCurveResult& r, double requestedRate)
{
    const CurveSummary summary (r, requestedRate);
    const auto& magnitude = summary.magnitude;
    const auto& phase = summary.phase;

    juce::String out;
    out << "plugin:        " << TrBenchRun::pluginLine (slot) << "\n"
        << "channel:       " << r.channelName << "\n"
        << "level:         " << plain (r.levelDb) << " dBFS @ " << plain (r.sampleRate) << " Hz\n"
        << "gain @ 1 kHz:  " << fixed (r.gainAt1kDb, 2) << " dB\n"
        << "in-band mag:   " << fixed (magnitude.low, 2) << " .. " << fixed (magnitude.high, 2) << " dB\n"
        << "in-band phase: " << fixed (phase.low, 1) << " .. " << fixed (phase.high, 1) << " deg\n"
        << "latency:       reported " << r.reportedLatency << " smp, measured " << fixed (r.measuredLatency, 1) << " smp"
        << (r.latencyUnclear ? "  (no single steady arrival - not judged)"
            : fitOfLatency (r.measuredLatency, r.reportedLatency, r.arrivalEarliest, r.arrivalLatest) == TrLatencyFit::dispersed
                ? "  (" + arrivalSpreadText (r.arrivalEarliest, r.arrivalLatest) + " - not judged)"
                : juce::String())
        << "\n"
        << "CPU:           " << fixed (r.cpuNsPerSample, 1) << " ns/smp (median)\n"
        << "polarity:      " << (r.polarityInverted ? "INVERTED (!)" : "normal") << "\n";

    if (r.phaseCharacter.isNotEmpty())
        out << "phase:         " << r.phaseCharacter << " phase (dev vs flat " << fixed (r.phaseDevFlatDeg, 1) << " deg, vs min-phase "
            << fixed (r.phaseDevMinPhaseDeg, 1) << " deg)\n";

    if (r.repeatabilityDb >= 0.0)
        out << "repeatability: " << fixed (r.repeatabilityDb, 4) << " dB"
            << (r.timeVariant ? "  TIME-VARIANT - H(f) is not a trustworthy linear response" : "  (repeatable)") << "\n";

    out << "curve (Hz, dB, deg):\n";
    for (const auto& row : summary.rows)
        out << "  " << row.hz << "  " << fixed (row.db, 2) << "  " << fixed (row.deg, 1) << "\n";

    out << "verdict:       " << TrBenchRun::verdictText (TrVerdict::forCurve (r)) << "\n";
    return out;
}

void curveFigures (const TrCurveResult& r, double requestedRate)
{
    using namespace TrBenchJson;
    const CurveSummary summary (r, requestedRate);
    juce::Array<juce::var> rows;
    for (const auto& row : summary.rows)
        rows.add (object ({ { "frequency_hz", row.hz }, { "gain_db", figure (row.db, 2) }, { "phase_deg", figure (row.deg, 1) } }));

    const auto measuredBand = summary.magnitude.high >= summary.magnitude.low;
    set ("results", object ({ { "channel", r.channelName },
                              { "level_dbfs", figure (r.levelDb, 2) },
                              { "gain_at_1khz_db", figure (r.gainAt1kDb, 2) },
                              { "in_band_gain_min_db", measuredBand ? figure (summary.magnitude.low, 2) : juce::var() },
                              { "in_band_gain_max_db", measuredBand ? figure (summary.magnitude.high, 2) : juce::var() },
                              { "in_band_phase_min_deg", measuredBand ? figure (summary.phase.low, 1) : juce::var() },
                              { "in_band_phase_max_deg", measuredBand ? figure (summary.phase.high, 1) : juce::var() },
                              { "reported_latency_samples", r.reportedLatency },
                              { "measured_latency_samples", figure (r.measuredLatency, 1) },
                              { "latency_judged", ! r.latencyUnclear },
                              { "cpu_ns_per_sample", figure (r.cpuNsPerSample, 1) },
                              { "polarity_inverted", r.polarityInverted },
                              { "phase_character", r.phaseCharacter.isEmpty() ? juce::var() : juce::var (r.phaseCharacter) },
                              { "repeatability_db", r.repeatabilityDb < 0.0 ? juce::var() : figure (r.repeatabilityDb, 4) },
                              { "time_variant", r.timeVariant },
                              { "curve", rows } }));
    set ("verdict", verdict (TrVerdict::forCurve (r)));
}

juce::String nullReport (const TrNullResult& r, const TrPluginSlot& a, const TrPluginSlot& b)
{
    juce::String out;
    out << "A:          " << r.nameA << TrBenchRun::layoutNote (a) << "\n"
        << "B:          " << r.nameB << TrBenchRun::layoutNote (b) << "\n"
        << "signal:     " << r.signalName << " @ " << plain (r.sampleRate) << " Hz\n"
        << "LUFS:       A " << fixed (r.lufsA, 2) << "  B " << fixed (r.lufsB, 2) << "  (match " << fixed (r.matchGainDb, 2) << " dB"
        << (r.matchedByRms ? ", by RMS: below the loudness gate" : "") << ")\n"
        << "lat delta:  " << plain (r.latencyDeltaSamples) << " smp\n"
        << "null depth: " << fixed (r.nullDepthDb, 1) << " dB\n"
        << "diff peak:  " << fixed (r.diffPeakDbfs, 1) << " dBFS\n"
        << "verdict:    " << r.verdictText << "\n";
    return out;
}
}

void nullFigures (const TrNullResult& r)
{
    using namespace TrBenchJson;
    set ("results", object ({ { "signal", r.signalName },
                              { "lufs_a", figure (r.lufsA, 2) },
                              { "lufs_b", figure (r.lufsB, 2) },
                              { "match_db", figure (r.matchGainDb, 2) },
                              { "matched_by_rms", r.matchedByRms },
                              { "latency_delta_samples", figure (r.latencyDeltaSamples, 6) },
                              { "null_depth_db", figure (r.nullDepthDb, 1) },
                              { "diff_peak_dbfs", decibels (r.diffPeakDbfs, 1) } }));
    set ("verdict", verdict (TrVerdict::forNull (r)));
}

int runCurveBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-curve");
    if (! options)
        return 1;

    TrFreqResponseAnalyzer::Params params;
    params.repeat = true;
    params.levelDb = options->number ("--level", params.levelDb);
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.blockSize = TrBenchRun::blockSize;
    params.channel = channelFrom (options->text ("--channel"));

    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        TrParamChecks::level (params.levelDb, "--level") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"),
                           { { "level_dbfs", params.levelDb }, { "channel", options->has ("--channel") ? options->text ("--channel") : "left" } });
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, options->path(), params.sampleRate, options->all ("--param")))
        return 1;

    const auto result = TrFreqResponseAnalyzer::run (slot, params, nullptr, {});
    if (result.error.isNotEmpty())
        return TrBenchRun::fail (result.error);

    TrConsole::print (curveReport (slot, result, params.sampleRate));
    curveFigures (result, params.sampleRate);
    return 0;
}

int runNullBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-null");
    if (! options)
        return 1;

    TrNullAnalyzer::Params params;
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.blockSize = TrBenchRun::blockSize;

    if (const auto problem = TrParamChecks::sampleRate (params.sampleRate, "--sr"); problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    // A mistyped --file must not quietly become a run on pink noise.
    if (options->has ("--file"))
    {
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (options->text ("--file"));
        if (options->text ("--file").isEmpty() || ! file.existsAsFile())
            return TrBenchRun::fail ("--file names no file: " + (options->text ("--file").isEmpty() ? juce::String ("(empty)") : file.getFullPathName()));

        params.file = file.getFullPathName();
    }

    TrBenchJson::set ("settings", TrBenchJson::object ({ { "sample_rate_hz", params.sampleRate },
                                                         { "file", params.file.isEmpty() ? juce::var() : juce::var (params.file) },
                                                         { "params_a", juce::var (options->all ("--paramA")) },
                                                         { "params_b", juce::var (options->all ("--paramB")) } }));
    TrSlotManager manager;
    if (! TrBenchRun::load (manager.slot (0), options->path (0), params.sampleRate, options->all ("--paramA"), "--paramA", "error A: ")
        || ! TrBenchRun::load (manager.slot (1), options->path (1), params.sampleRate, options->all ("--paramB"), "--paramB", "error B: "))
        return 1;

    const auto result = TrNullAnalyzer::run (manager.slot (0), manager.slot (1), params, nullptr, {});
    if (result.error.isNotEmpty())
        return TrBenchRun::fail (result.error);

    TrConsole::print (nullReport (result, manager.slot (0), manager.slot (1)));
    nullFigures (result);
    return 0;
}
