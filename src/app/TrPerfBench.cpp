#include "TrPerfBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "analyzers/TrParamChecks.h"
#include "analyzers/TrPerfAnalyzer.h"
#include "results/TrNumberFormat.h"

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::padded;

juce::String denormalText (double ratio)
{
    if (ratio < 0.0)
        return "n/a (ARM runs subnormals at full speed)";

    return fixed (ratio, 2) + " x" + (ratio > 4.0 ? "  (!) CPU rises on silence - denormal trouble" : "");
}

juce::String idleNote (const TrPerfResult& r, size_t i)
{
    const auto size = static_cast<int> (r.blockSizes[i]);
    const auto idle = std::find (r.notProcessing.begin(), r.notProcessing.end(), size) != r.notProcessing.end();
    return idle ? "  (!) not processing - output silent or unchanged, left out" : "";
}

juce::String perfReport (const TrPluginSlot& slot, const TrPerfResult& r)
{
    juce::String out;
    out << "plugin:   " << TrBenchRun::pluginLine (slot) << "\n"
        << "rate:     " << TrNumberFormat::plain (r.sampleRate) << " Hz - mean block wall time, incl host dispatch\n"
        << "  block   ns/smp   p95 ns/smp   % realtime\n";

    for (size_t i = 0; i < r.blockSizes.size(); ++i)
        out << "  " << padded (juce::String (static_cast<int> (r.blockSizes[i])), 5) << "  " << padded (fixed (r.nsPerSample[i], 1), 7)
            << "  " << padded (i < r.p95NsPerSample.size() ? fixed (r.p95NsPerSample[i], 1) : juce::String ("-"), 11) << "  "
            << padded (fixed (r.percentRealtime[i], 2), 9) << idleNote (r, i) << "\n";

    out << "per sample:      " << fixed (r.perSampleNs, 1) << " ns  (true per-sample cost, sweep slope)\n"
        << "per block:       " << fixed (r.perBlockUs, 2) << " us  (fixed dispatch: host wrapper + plugin bookkeeping)\n"
        << "worst 512 block: " << fixed (r.worst512BlockMs, 3) << " ms\n"
        << "denormal ratio:  " << denormalText (r.denormalRatio) << "\n"
        << "latency:         " << r.latencySamples << " smp\n"
        << "verdict:         " << TrBenchRun::verdictText (TrVerdict::forPerf (r)) << "\n";
    return out;
}

void perfFigures (const TrPerfResult& r)
{
    using namespace TrBenchJson;
    juce::Array<juce::var> blocks;
    for (size_t i = 0; i < r.blockSizes.size(); ++i)
    {
        const auto size = static_cast<int> (r.blockSizes[i]);
        const auto idle = std::find (r.notProcessing.begin(), r.notProcessing.end(), size) != r.notProcessing.end();
        blocks.add (object ({ { "block_size", size },
                              { "ns_per_sample", figure (r.nsPerSample[i], 1) },
                              { "trimmed_ns_per_sample", i < r.trimmedNsPerSample.size() ? figure (r.trimmedNsPerSample[i], 1) : juce::var() },
                              { "p95_ns_per_sample", i < r.p95NsPerSample.size() ? figure (r.p95NsPerSample[i], 1) : juce::var() },
                              { "percent_realtime", figure (r.percentRealtime[i], 2) },
                              { "processing", ! idle } }));
    }

    set ("results", object ({ { "blocks", blocks },
                              { "per_sample_ns", figure (r.perSampleNs, 1) },
                              { "per_block_us", figure (r.perBlockUs, 2) },
                              { "worst_512_block_ms", figure (r.worst512BlockMs, 3) },
                              { "denormal_ratio", r.denormalRatio < 0.0 ? juce::var() : figure (r.denormalRatio, 2) },
                              { "latency_samples", r.latencySamples } }));
    set ("verdict", verdict (TrVerdict::forPerf (r)));
}
}

int runPerfBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-perf");
    if (! options)
        return 1;

    TrPerfAnalyzer::Params params;
    params.sampleRate = options->number ("--sr", params.sampleRate);
    const auto seconds = options->number ("--seconds", params.seconds);

    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (params.sampleRate, "--sr"),
                                                        TrParamChecks::perfSeconds (seconds, "--seconds") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    params.seconds = std::max (TrParamChecks::minPerfSeconds, seconds);

    TrBenchJson::settings (params.sampleRate, options->all ("--param"), { { "seconds", params.seconds } });
    return TrBenchRun::measureAndReport (*options, params.sampleRate, params, TrPerfAnalyzer::run, perfReport, perfFigures);
}
