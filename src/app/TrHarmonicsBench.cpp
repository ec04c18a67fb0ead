#include "TrHarmonicsBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "TrConsole.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "results/TrNumberFormat.h"
#include "verdicts/TrVerdict.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::padded;
using TrNumberFormat::plain;

juce::String fixedOrDash (float value)
{
    return std::isfinite (value) ? fixed (value, 2) : juce::String ("-");
}

juce::String harmonicsReport (const TrPluginSlot& slot, const TrHarmonicsResult& r)
{
    const auto alias = r.aliasPeakBin == 0 ? juce::String ("none (no harmonic up to the 64th folds back)")
                                           : fixed (r.aliasPeakDb, 2) + " dB" + (isRealAlias (r) ? "" : "  (at the noise, not a real spur)");
    const auto spur = r.spurDb > TrSentinel::notMeasuredDb ? fixed (r.spurDb, 2) + " dB at " + fixed (r.spurHz, 1) + " Hz (not from the tone)"
                                                           : juce::String ("none");
    const auto verdict = TrVerdict::forHarmonics (r);

    juce::String out;
    out << "plugin:      " << TrBenchRun::pluginLine (slot) << "\n"
        << "freq:        " << plain (r.frequencyHz) << " Hz (bin " << r.bin << ")\n"
        << "level:       " << plain (r.levelDb) << " dBFS @ " << plain (r.sampleRate) << " Hz\n"
        << "THD:         "
        << (std::isfinite (r.thdDb) ? fixed (r.thdDb, 2) + " dB (" + fixed (r.thdPercent, 4) + " %)"
                                    : juce::String ("n/a (no harmonic below Nyquist)"))
        << "\n"
        << "THD+N:       " << fixed (r.thdnDb, 2) << " dB\n"
        << "alias peak:  " << alias << "\n"
        << "spur:        " << spur << "\n"
        << "noise floor: " << fixed (r.noiseFloorDb, 2) << " dB\n"
        << "DC:          " << fixed (r.dcDb, 2) << " dB\n"
        << "true peak:   " << fixed (r.truePeakDb, 2) << " dBTP\n"
        << "repeat:      " << fixed (r.repeatDeltaDb, 4) << " dB"
        << (r.timeVariant ? "  (!) TIME-VARIANT - re-fundamental metrics unreliable" : "") << "\n"
        << "latency:     " << r.latencySamples << " smp\n"
        << "CPU:         " << fixed (r.cpuNsPerSample, 1) << " ns/smp\n"
        << "verdict:     " << TrBenchRun::verdictText (verdict) << "\n";
    return out;
}

juce::String sweepReport (const TrPluginSlot& slot, const TrThdSweepResult& r)
{
    const auto title = r.vsLevel ? "THD vs level, tone " + fixed (r.frequencyHz, 1) + " Hz"
                                 : "THD vs frequency @ " + fixed (r.levelDb, 0) + " dBFS";
    const auto aliasComplete = r.aliasDb.size() == r.x.size();

    juce::String out;
    out << "plugin:  " << TrBenchRun::pluginLine (slot) << "\n"
        << "sweep:   " << title << " @ " << plain (r.sampleRate) << " Hz, N " << r.fftSize << "\n"
        << (r.vsLevel ? "  dBFS" : "    Hz")
        << "     THD dB    THD+N dB    ALIAS dB      H2 dB      H3 dB      H4 dB      H5 dB\n";

    for (size_t i = 0; i < r.x.size(); ++i)
    {
        out << "  " << padded (fixed (r.x[i], r.vsLevel ? 1 : 0), 7) << "  " << padded (fixedOrDash (r.thdDb[i]), 9) << "  "
            << padded (fixedOrDash (r.thdnDb[i]), 9) << "    "
            << padded (aliasComplete ? fixedOrDash (r.aliasDb[i]) : juce::String ("-"), 9);

        for (const auto& harmonic : r.harmonicDb)
            out << "  " << padded (fixedOrDash (harmonic[i]), 9);

        out << "\n";
    }

    return out;
}

void harmonicsFigures (const TrHarmonicsResult& r)
{
    using namespace TrBenchJson;
    set ("results", object ({ { "frequency_hz", figure (r.frequencyHz, 3) },
                              { "bin", r.bin },
                              { "level_dbfs", figure (r.levelDb, 2) },
                              { "thd_db", figure (r.thdDb, 2) },
                              { "thd_percent", std::isfinite (r.thdDb) ? figure (r.thdPercent, 4) : juce::var() },
                              { "thdn_db", decibels (r.thdnDb, 2) },
                              { "alias_peak_db", r.aliasPeakBin == 0 ? juce::var() : decibels (r.aliasPeakDb, 2) },
                              { "alias_is_real", isRealAlias (r) },
                              { "spur_db", decibels (r.spurDb, 2) },
                              { "spur_hz", r.spurDb > TrSentinel::notMeasuredDb ? figure (r.spurHz, 1) : juce::var() },
                              { "noise_floor_db", decibels (r.noiseFloorDb, 2) },
                              { "dc_db", decibels (r.dcDb, 2) },
                              { "true_peak_dbtp", decibels (r.truePeakDb, 2) },
                              { "repeat_delta_db", r.repeatDeltaDb < 0.0 ? juce::var() : figure (r.repeatDeltaDb, 4) },
                              { "time_variant", r.timeVariant },
                              { "latency_samples", r.latencySamples },
                              { "cpu_ns_per_sample", figure (r.cpuNsPerSample, 1) } }));
    set ("verdict", verdict (TrVerdict::forHarmonics (r)));
}

void sweepFigures (const TrThdSweepResult& r)
{
    using namespace TrBenchJson;
    const auto at = [] (const std::vector<float>& v, size_t i) { return i < v.size() ? figure (v[i], 2) : juce::var(); };
    juce::Array<juce::var> points;
    for (size_t i = 0; i < r.x.size(); ++i)
        points.add (object ({ { r.vsLevel ? "level_dbfs" : "frequency_hz", figure (r.x[i], r.vsLevel ? 1 : 4) },
                              { "thd_db", at (r.thdDb, i) },
                              { "thdn_db", at (r.thdnDb, i) },
                              { "alias_db", at (r.aliasDb, i) },
                              { "h2_db", at (r.harmonicDb[0], i) },
                              { "h3_db", at (r.harmonicDb[1], i) },
                              { "h4_db", at (r.harmonicDb[2], i) },
                              { "h5_db", at (r.harmonicDb[3], i) } }));

    set ("results", object ({ { "vs", r.vsLevel ? "level" : "freq" },
                              { "frequency_hz", figure (r.frequencyHz, 1) },
                              { "level_dbfs", figure (r.levelDb, 1) },
                              { "fft_size", r.fftSize },
                              { "points", points } }));
    set ("verdict", verdict (TrVerdict::forThdSweep (r)));
}

void imdFigures (const TrImdResult& r)
{
    using namespace TrBenchJson;
    set ("results", object ({ { "standard", r.standard },
                              { "f1_hz", figure (r.f1Hz, 1) },
                              { "f2_hz", figure (r.f2Hz, 1) },
                              { "level_dbfs", figure (r.levelDb, 2) },
                              { "fft_size", r.fftSize },
                              { "imd_db", decibels (r.imdDb, 2) },
                              { "imd_percent", figure (r.imdPercent, 4) },
                              { "d2_db", decibels (r.d2Db, 2) },
                              { "d3_db", decibels (r.d3Db, 2) },
                              { "noise_floor_db", decibels (r.noiseFloorDb, 2) },
                              { "latency_samples", r.latencySamples } }));
    set ("verdict", verdict (TrVerdict::forImd (r)));
}

juce::String imdReport (const TrPluginSlot& slot, const TrImdResult& r)
{
    juce::String out;
    out << "plugin:      " << TrBenchRun::pluginLine (slot) << "\n"
        << "test:        IMD " << r.standard << "  f1 " << fixed (r.f1Hz, 1) << " Hz + f2 " << fixed (r.f2Hz, 1) << " Hz @ "
        << plain (r.levelDb) << " dBFS peak, " << plain (r.sampleRate) << " Hz, N " << r.fftSize << "\n"
        << "IMD:         " << fixed (r.imdDb, 2) << " dB (" << fixed (r.imdPercent, 4) << " %)\n";

    if (r.standard == "CCIF")
        out << "d2:          " << fixed (r.d2Db, 2) << " dB\n"
            << "d3:          " << fixed (r.d3Db, 2) << " dB\n";

    out << "noise floor: " << fixed (r.noiseFloorDb, 2) << " dB\n"
        << "latency:     " << r.latencySamples << " smp\n";
    return out;
}

}

int runHarmonicsBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench");
    if (! options)
        return 1;

    TrHarmonicsAnalyzer::Params params;
    params.frequencyHz = options->number ("--freq", params.frequencyHz);
    params.levelDb = options->number ("--level", params.levelDb);
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.fftSize = options->integer ("--fft", params.fftSize);
    params.blockSize = TrBenchRun::blockSize;

    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        TrParamChecks::frequency (params.frequencyHz, params.sampleRate, "--freq"),
                                                        TrParamChecks::level (params.levelDb, "--level"),
                                                        TrParamChecks::fftSize (params.fftSize, "--fft") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"),
                           { { "frequency_hz", params.frequencyHz }, { "level_dbfs", params.levelDb }, { "fft_size", params.fftSize } });
    return TrBenchRun::measureAndReport (*options, params.sampleRate, params, TrHarmonicsAnalyzer::run, harmonicsReport, harmonicsFigures);
}

int runThdBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-thd");
    if (! options)
        return 1;

    TrHarmonicsAnalyzer::SweepParams params;
    params.vsLevel = options->text ("--vs") == "level";
    params.frequencyHz = options->number ("--freq", params.frequencyHz);
    params.levelDb = options->number ("--level", params.levelDb);
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.points = std::max (2, options->integer ("--points", params.points));
    params.blockSize = TrBenchRun::blockSize;

    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        TrParamChecks::frequency (params.frequencyHz, params.sampleRate, "--freq"),
                                                        TrParamChecks::level (params.levelDb, "--level"),
                                                        TrParamChecks::points (params.points, "--points") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"),
                           { { "vs", params.vsLevel ? "level" : "freq" }, { "frequency_hz", params.frequencyHz },
                             { "level_dbfs", params.levelDb }, { "points", params.points } });
    return TrBenchRun::measureAndReport (*options, params.sampleRate, params, TrHarmonicsAnalyzer::runThdSweep, sweepReport, sweepFigures);
}

int runImdBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-imd");
    if (! options)
        return 1;

    TrHarmonicsAnalyzer::ImdParams params;
    params.ccif = options->text ("--imd") == "ccif";
    params.levelDb = options->number ("--level", params.levelDb);
    params.sampleRate = options->number ("--sr", params.sampleRate);
    params.fftSize = options->integer ("--fft", params.fftSize);
    params.blockSize = TrBenchRun::blockSize;

    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        TrParamChecks::level (params.levelDb, "--level"),
                                                        TrParamChecks::fftSize (params.fftSize, "--fft"),
                                                        params.ccif ? TrParamChecks::ccifSampleRate (params.sampleRate, "--sr")
                                                                    : TrParamChecks::smpteSampleRate (params.sampleRate, "--sr") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"),
                           { { "imd", params.ccif ? "ccif" : "smpte" }, { "level_dbfs", params.levelDb }, { "fft_size", params.fftSize } });
    return TrBenchRun::measureAndReport (*options, params.sampleRate, params, TrHarmonicsAnalyzer::runImd, imdReport, imdFigures);
}
