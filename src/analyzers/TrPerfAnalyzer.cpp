#include "TrPerfAnalyzer.h"

#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "hosting/TrLv2Bundles.h"
#include "hosting/TrLv2Probe.h"
#include "hosting/TrReportedLatency.h"
#include "dsp/TrDecibels.h"

#include <cmath>
#include <optional>

namespace
{
constexpr int referenceBlockSize = 512;

/** Hands the plugin back prepared as the slot says, however the run ends. */
class RestorePrepare
{
public:
    explicit RestorePrepare (TrPluginSlot& s) : slot (s) {}
    ~RestorePrepare() { reprepareOnMessageThread (*slot.instance, slot.sampleRate, slot.blockSize); }

private:
    TrPluginSlot& slot;

    JUCE_DECLARE_NON_COPYABLE (RestorePrepare)
};

/** An LV2 plugin that declares block lengths is only prepared within them. */
bool takesBlockSize (const TrPluginSlot& slot, int size)
{
    if (! isLv2 (*slot.instance))
        return true;
    const auto bundle = TrLv2Bundles::isBundle (slot.pluginFile) ? slot.pluginFile : juce::File();
    return TrLv2Probe::takesBlockLength (slot.description.fileOrIdentifier, bundle, size);
}

/** False when the window is closing and could not prepare it. */
bool prepareAt (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize)
{
    return reprepareOnMessageThread (plugin, sampleRate, blockSize) && resetOnMessageThread (plugin);
}

juce::String problemWith (const TrPerfParams& p)
{
    auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                                  TrParamChecks::level (p.levelDb, "level"),
                                                  TrParamChecks::frequency (p.toneHz, p.sampleRate, "tone frequency"),
                                                  std::isfinite (p.seconds) && p.seconds > 0.0 && std::isfinite (p.silenceSeconds)
                                                          && p.silenceSeconds > 0.0
                                                      ? juce::String()
                                                      : "durations must be positive numbers of seconds" });
    for (auto size : p.blockSizes)
        if (problem.isEmpty())
            problem = TrParamChecks::blockSize (size, "block size");

    return problem;
}

bool processed (const TrPerfResult& r, size_t i)
{
    return std::find (r.notProcessing.begin(), r.notProcessing.end(), static_cast<int> (r.blockSizes[i])) == r.notProcessing.end();
}

/** Least-squares line through the cost per call against the block size, over the sizes that
    processed. */
void splitCost (TrPerfResult& r)
{
    std::vector<size_t> used;
    for (size_t i = 0; i < r.blockSizes.size(); ++i)
        if (processed (r, i))
            used.push_back (i);

    const auto n = static_cast<double> (used.size());
    if (used.size() < 2)
        return;

    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (auto i : used)
    {
        const double x = r.blockSizes[i];
        const double perCall = r.nsPerSample[i] * x;
        sx += x;
        sy += perCall;
        sxx += x * x;
        sxy += x * perCall;
    }

    const auto denominator = n * sxx - sx * sx;
    if (std::abs (denominator) <= 1e-9)
        return;

    const auto slope = (n * sxy - sx * sy) / denominator;
    const auto intercept = (sy - slope * sx) / n;
    r.perSampleNs = std::max (0.0, slope);
    r.perBlockUs = std::max (0.0, intercept / 1000.0);
}
}

TrPerfResult TrPerfAnalyzer::run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel)
{
    TrPerfResult r;
    r.sampleRate = params.sampleRate;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto amplitude = dbToAmplitude (params.levelDb);
    const auto rate = params.sampleRate;
    const auto budgetNs = 1e9 / rate;
    const TrProgress stages { progress, 0.0f, 1.0f };

    const juce::ScopedLock sl (slot.lock);
    const RestorePrepare restore (slot);
    auto& plugin = *slot.instance;

    std::vector<bool> idle;
    double worst512 = 0.0;
    for (size_t m = 0; m < params.blockSizes.size(); ++m)
    {
        const auto size = params.blockSizes[m];
        if (! takesBlockSize (slot, size))
            continue;
        if (! prepareAt (plugin, rate, size))
        {
            r.error = TrErrorText::aborted;
            return r;
        }

        TrBlockTiming timing;
        if (! timedRender (plugin, rate, size, params.channel, params.toneHz, amplitude, static_cast<long long> (0.25 * rate),
                           static_cast<long long> (params.seconds * rate), timing, r.error, cancel))
            return r;

        r.blockSizes.push_back (static_cast<float> (size));
        r.nsPerSample.push_back (static_cast<float> (timing.meanNsPerSample));
        r.trimmedNsPerSample.push_back (static_cast<float> (timing.trimmedNsPerSample));
        r.p95NsPerSample.push_back (static_cast<float> (timing.p95NsPerSample));
        r.percentRealtime.push_back (static_cast<float> (timing.meanNsPerSample / budgetNs * 100.0));
        idle.push_back (timing.silent || timing.unchanged);
        if (size == referenceBlockSize)
            worst512 = timing.worstBlockMs;

        stages.publish (static_cast<double> (m + 1) / static_cast<double> (params.blockSizes.size() + 1));
    }

    // A size at which the plugin only passed the tone on, or put out nothing, while it processed
    // at others measured a plugin that was not working: it says nothing about the cost.
    if (std::find (idle.begin(), idle.end(), false) != idle.end())
        for (size_t i = 0; i < idle.size(); ++i)
            if (idle[i])
                r.notProcessing.push_back (static_cast<int> (r.blockSizes[i]));

    // The 512 figures come from 512 when it processed, else from the last size that did.
    std::optional<size_t> reference;
    const auto is512 = [&] (size_t i) { return static_cast<int> (r.blockSizes[i]) == referenceBlockSize; };
    for (size_t i = 0; i < r.blockSizes.size(); ++i)
    {
        if (! processed (r, i))
            continue;

        if (! (reference && is512 (*reference)))
            reference = i;

        if (r.percentRealtime[i] > r.worstPercentRealtime)
        {
            r.worstPercentRealtime = r.percentRealtime[i];
            r.worstBlockSize = static_cast<int> (r.blockSizes[i]);
        }
    }

    if (reference)
    {
        r.nsPerSampleAt512 = r.nsPerSample[*reference];
        r.percentRealtimeAt512 = r.percentRealtime[*reference];
        r.worst512BlockMs = is512 (*reference) ? worst512 : 0.0;
    }

    splitCost (r);

    // The silence follows the tone without a reset, so decaying tails inside the plugin pass
    // through the subnormal range while they are timed.
    if (! prepareAt (plugin, rate, referenceBlockSize))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    TrBlockTiming onSignal, onSilence;
    if (! timedRender (plugin, rate, referenceBlockSize, params.channel, params.toneHz, amplitude,
                       static_cast<long long> (0.25 * rate), static_cast<long long> (rate), onSignal, r.error, cancel)
        || ! timedRender (plugin, rate, referenceBlockSize, params.channel, params.toneHz, 0.0, static_cast<long long> (0.1 * rate),
                          static_cast<long long> (params.silenceSeconds * rate), onSilence, r.error, cancel))
        return r;

    // Like is compared with like: the silence's typical cost with the signal's and its 95th
    // percentile with the signal's. Setting the silence's percentile against the signal's mean
    // would flag cheap plugins, whose block times are mostly timer noise, as denormal trouble;
    // and a plain mean is moved by the few blocks the system interrupts, so the trimmed one is
    // taken. Subnormal arithmetic slows every block, which both still show.
    const auto ratio = [] (double silence, double signal) { return signal > 0.0 ? silence / signal : 1.0; };
    r.denormalRatio = std::max (ratio (onSilence.trimmedNsPerSample, onSignal.trimmedNsPerSample),
                                ratio (onSilence.p95NsPerSample, onSignal.p95NsPerSample));
    r.latencySamples = reportedLatency (plugin);
    stages.publish (1.0);
    return r;
}
