#include "TrDynamicsAnalyzer.h"

#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "TrToneSpectrum.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrDelay.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSinkRender.h"
#include "hosting/TrReportedLatency.h"

#include <cmath>

namespace
{
const juce::String noSidechainBus = "plugin has no sidechain input bus";
const juce::String sidechainRefused = "could not enable the sidechain bus";

constexpr int probeLength = 131072;
constexpr int probeNoise = 16384;
constexpr int probeLargestLag = 98303;

juce::String problemWith (const TrDynamicsParams& p)
{
    const auto finite = [] (std::initializer_list<double> values) {
        return std::all_of (values.begin(), values.end(), [] (double v) { return std::isfinite (v); });
    };
    const auto durations = { p.stepSeconds, p.prerollSeconds, p.burstLowBeforeSeconds, p.burstHighSeconds, p.burstLowAfterSeconds };

    return TrParamChecks::firstProblem (
        { TrParamChecks::sampleRate (p.sampleRate, "sample rate"), TrParamChecks::blockSize (p.blockSize, "block size"),
          TrParamChecks::frequency (p.toneHz, p.sampleRate, "tone frequency"),
          finite ({ p.startDb, p.endDb, p.stepDb, p.burstLowDb, p.burstHighDb, p.sidechainMainDb }) && p.stepDb > 0.0
                  && p.endDb >= p.startDb && (p.endDb - p.startDb) / p.stepDb <= 1000.0
              ? juce::String()
              : "levels must be numbers, with a positive step and at most 1000 steps",
          std::all_of (durations.begin(), durations.end(), [] (double s) { return std::isfinite (s) && s >= 0.0 && s <= 600.0; })
                  && p.stepSeconds > 0.0 && p.burstHighSeconds > 0.0
              ? juce::String()
              : "durations must be from 0 to 600 seconds, steps and the high burst longer than 0" });
}

/** Switches the sidechain bus on for the run and restores the layout and preparation however
    the run ends. */
class RestoreLayout
{
public:
    RestoreLayout (juce::AudioPluginInstance& p, double rate, int block)
        : plugin (p), saved (p.getBusesLayout()), sampleRate (rate), blockSize (block)
    {
    }

    ~RestoreLayout()
    {
        if (! changed)
            return;

        plugin.releaseResources();
        plugin.setBusesLayout (saved);
        plugin.prepareToPlay (sampleRate, blockSize);
    }

    /** Enables input bus 1 as stereo, or else mono; false (layout put back) when refused. */
    bool enableSidechain()
    {
        changed = true;
        plugin.releaseResources();

        for (const auto& set : { juce::AudioChannelSet::stereo(), juce::AudioChannelSet::mono() })
        {
            auto layout = saved;
            layout.inputBuses.getReference (1) = set;
            if (plugin.setBusesLayout (layout))
            {
                plugin.prepareToPlay (sampleRate, blockSize);
                return true;
            }
        }

        return false;
    }

private:
    juce::AudioPluginInstance& plugin;
    const juce::AudioProcessor::BusesLayout saved;
    const double sampleRate;
    const int blockSize;
    bool changed = false;

    JUCE_DECLARE_NON_COPYABLE (RestoreLayout)
};

double toDb (double amplitude)
{
    return 20.0 * std::log10 (std::max (1e-9, amplitude));
}

/** Threshold, ratio, knee and make-up from the transfer curve. */
void extract (TrDynamicsResult& r, const TrDynamicsParams& p)
{
    const auto n = static_cast<int> (r.inDb.size());
    const auto z = n - 1;
    const auto sidechain = p.externalSidechain;
    const auto at = [] (const std::vector<float>& v, int i) { return static_cast<double> (v[static_cast<size_t> (i)]); };

    r.makeupDb = sidechain ? at (r.outDb, 0) - p.sidechainMainDb : at (r.outDb, 0) - at (r.inDb, 0);

    std::vector<double> reduction (static_cast<size_t> (n));
    for (int s = 0; s < n; ++s)
        reduction[static_cast<size_t> (s)] = sidechain ? at (r.outDb, s) - at (r.outDb, 0) : at (r.outDb, s) - at (r.inDb, s) - r.makeupDb;

    int a = z;
    for (int s = 0; s < n; ++s)
    {
        if (reduction[static_cast<size_t> (s)] < -1.0)
        {
            a = s;
            break;
        }
    }

    r.thresholdDb = at (r.inDb, a);
    if (a > 0 && a < n && reduction[static_cast<size_t> (a - 1)] - 1e-9 > reduction[static_cast<size_t> (a)])
        r.thresholdDb = at (r.inDb, a - 1) + (at (r.inDb, a) - at (r.inDb, a - 1)) * (-1.0 - reduction[static_cast<size_t> (a - 1)])
                                                 / (reduction[static_cast<size_t> (a)] - reduction[static_cast<size_t> (a - 1)]);

    const auto m = std::max (a, z - static_cast<int> (std::round (12.0 / p.stepDb)));
    const auto span = at (r.inDb, z) - at (r.inDb, m);
    const auto slope = span > 0.0 ? (at (r.outDb, z) - at (r.outDb, m)) / span : 1.0;

    const auto ratio = 1.0 / std::max (sidechain ? slope + 1.0 : slope, 0.001);
    if (ratio < 0.1)
    {
        r.ratio = 0.1;
    }
    else
    {
        r.ratio = std::min (ratio, 1000.0);
        if (ratio > 1.05)
            r.thresholdDb -= std::min (6.0, std::max (0.0, ratio / (ratio - 1.0)));
    }

    const auto kneeSlope = sidechain ? slope : std::max (slope, 0.001);
    int k = a;
    while (k < z && (at (r.outDb, k + 1) - at (r.outDb, k)) / p.stepDb > kneeSlope + 0.05)
        ++k;
    if (k >= z)
        k = n - 2;

    r.kneeDb = std::max (0.0, at (r.inDb, std::max (0, k)) - r.thresholdDb);
}

/** The plugin's real delay from a white-noise burst, or -1 when no clear peak shows. */
int measuredDelay (const TrSinkRender& render, const TrCancel& cancel)
{
    std::uint64_t state = 1414677593;
    std::vector<double> noise (probeNoise);
    for (auto& v : noise)
    {
        state = state * 25214903917ULL + 11;
        const auto u = static_cast<double> (static_cast<std::uint32_t> (state >> 16)) * std::ldexp (1.0, -32);
        v = (std::min (u, 0.9999999) * 2.0 - 1.0) * 0.1;
    }

    std::vector<double> capture (probeLength, 0.0);
    bool nonFinite = false;
    const auto rendered = render.render (
        probeLength, [&] (long long i) { return i < probeNoise ? noise[static_cast<size_t> (i)] : 0.0; },
        [&] (long long i, double v) { capture[static_cast<size_t> (i)] = v; }, {}, cancel, nonFinite);

    if (! rendered || nonFinite)
        return -1;

    const auto c = minifft::crossCorrelation (noise, capture, probeLength);
    const auto peak = strongestLag (c, probeLargestLag + 1);
    return isClearPeak (c, peak, probeLargestLag) ? peak : -1;
}

void chooseBurstLevels (TrDynamicsResult& r, const TrDynamicsParams& p)
{
    if (p.autoBurst && r.ratio > 1.05)
    {
        r.burstHighDb = r.thresholdDb + 12.0 < -48.0 ? -48.0 : std::min (6.0, r.thresholdDb + 12.0);
        r.burstLowDb = r.thresholdDb - 12.0 < -60.0 ? -60.0 : std::min (r.burstHighDb - 24.0, r.thresholdDb - 12.0);
    }
    else
    {
        r.burstLowDb = p.burstLowDb;
        r.burstHighDb = p.burstHighDb;
    }
}

/** Gain envelope per frame, its baseline, and attack and release from it. */
void envelopeTimes (TrDynamicsResult& r, const std::vector<double>& inEnvelope, const std::vector<double>& outEnvelope, int frame,
                    int before, int high, bool sidechain)
{
    const auto frames = static_cast<int> (inEnvelope.size());
    std::vector<double> gain (inEnvelope.size());
    for (int i = 0; i < frames; ++i)
    {
        const auto in = toDb (inEnvelope[static_cast<size_t> (i)]), out = toDb (outEnvelope[static_cast<size_t> (i)]);
        r.envTimeSec.push_back (static_cast<float> ((static_cast<double> (i) * frame - before) / r.sampleRate));
        r.envInDb.push_back (static_cast<float> (in));
        r.envOutDb.push_back (static_cast<float> (out));
        gain[static_cast<size_t> (i)] = sidechain ? out : out - in;
    }

    const auto up = before / frame;
    const auto baseline = up / 2 < up - 2
                              ? TrToneSpectrum::median (std::vector<double> (gain.begin() + up / 2, gain.begin() + (up - 2)))
                              : 0.0;
    for (auto g : gain)
        r.envGainDb.push_back (static_cast<float> (g - baseline));

    const auto down = (before + high) / frame;
    const auto q = (down - up) / 5;
    if (! (down - q < down - 2) || down - 2 > frames)
        return;

    const auto steady = TrToneSpectrum::median (std::vector<double> (r.envGainDb.begin() + (down - q), r.envGainDb.begin() + (down - 2)));
    if (steady >= -1.0)
        return;

    const auto frameMs = static_cast<double> (frame) / r.sampleRate * 1000.0;
    for (int e = up; e < std::min (down, frames); ++e)
    {
        if (r.envGainDb[static_cast<size_t> (e)] <= 0.63 * steady)
        {
            r.attackMs = std::max (static_cast<double> (e - up), 0.5) * frameMs;
            break;
        }
    }

    for (int e = down; e < frames; ++e)
    {
        if (r.envGainDb[static_cast<size_t> (e)] >= 0.37 * steady)
        {
            r.releaseMs = std::max (static_cast<double> (e - down), 0.5) * frameMs;
            break;
        }
    }
}
}

TrDynamicsResult TrDynamicsAnalyzer::run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel)
{
    TrDynamicsResult r;
    r.sampleRate = params.sampleRate;
    r.toneHz = params.toneHz;
    r.externalSidechain = params.externalSidechain;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto rate = params.sampleRate;
    const juce::ScopedLock sl (slot.lock);
    auto& plugin = *slot.instance;
    RestoreLayout layout (plugin, rate, params.blockSize);

    if (params.externalSidechain)
    {
        if (plugin.getBusCount (true) <= 1)
        {
            r.error = noSidechainBus;
            return r;
        }

        if (! layout.enableSidechain())
        {
            r.error = sidechainRefused;
            return r;
        }
    }

    const auto step = juce::MathConstants<double>::twoPi * params.toneHz / rate;
    const auto mainAmplitude = dbToAmplitude (params.sidechainMainDb);
    TrSinkRender render { plugin, params.blockSize, params.channel, {} };
    if (params.externalSidechain)
        render.mainInput = [=] (long long n) { return mainAmplitude * std::sin (step * static_cast<double> (n)); };
    bool nonFinite = false;

    // A render that fails on cancel or on non-finite output, as the transfer curve and the burst do.
    const auto stage = [&] (long long total, const std::function<double (long long)>& source,
                            const std::function<void (long long, double)>& sink) {
        if (! render.render (total, source, sink, { progress, 0.0f, 1.0f }, cancel, nonFinite))
            r.error = TrErrorText::aborted;
        else if (nonFinite)
            r.error = TrErrorText::nonFinite;
        return r.error.isEmpty();
    };

    // Transfer curve: a one-second lead-in at the first level, then one step after another.
    plugin.reset();
    const auto steps = static_cast<int> (std::floor ((params.endDb - params.startDb) / params.stepDb)) + 1;
    const auto stepLength = static_cast<long long> (params.stepSeconds * rate);
    const auto leadIn = static_cast<long long> (rate);
    const auto window = std::min (static_cast<long long> (0.1 * rate), stepLength / 2);
    std::vector<double> stepPeaks (static_cast<size_t> (steps), 0.0);

    const auto stepOf = [&] (long long n) { return n < leadIn ? -1 : static_cast<int> ((n - leadIn) / stepLength); };
    if (! stage (
            leadIn + steps * stepLength,
            [&] (long long n) {
                const auto s = std::max (0, stepOf (n));
                return dbToAmplitude (params.startDb + s * params.stepDb) * std::sin (step * static_cast<double> (n));
            },
            [&] (long long n, double out) {
                const auto s = stepOf (n);
                if (s >= 0 && n >= leadIn + (s + 1) * stepLength - window)
                    stepPeaks[static_cast<size_t> (s)] = std::max (stepPeaks[static_cast<size_t> (s)], std::abs (out));
            }))
        return r;

    for (int s = 0; s < steps; ++s)
    {
        r.inDb.push_back (static_cast<float> (params.startDb + s * params.stepDb));
        r.outDb.push_back (static_cast<float> (toDb (stepPeaks[static_cast<size_t> (s)])));
    }

    extract (r, params);

    // Delay: a noise burst on the main inputs; the reported latency stands in when no clear peak shows.
    plugin.reset();
    const TrSinkRender probe { plugin, params.blockSize, params.channel, {} };
    const auto measured = measuredDelay (probe, cancel);
    plugin.reset();
    r.latencySamples = reportedLatency (plugin);
    const auto delay = measured >= 0 ? measured : r.latencySamples;

    // Burst: low, high, low; envelopes per tone period, the output's shifted by the delay.
    chooseBurstLevels (r, params);
    const auto preroll = static_cast<int> (params.prerollSeconds * rate);
    const auto before = static_cast<int> (params.burstLowBeforeSeconds * rate);
    const auto high = static_cast<int> (params.burstHighSeconds * rate);
    const auto after = static_cast<int> (params.burstLowAfterSeconds * rate);
    const auto frame = std::max (static_cast<int> (std::ceil (rate / std::max (params.toneHz, 20.0))), static_cast<int> (rate / 1000.0));
    const auto frames = (before + high + after) / frame;
    const auto low = dbToAmplitude (r.burstLowDb), loud = dbToAmplitude (r.burstHighDb);

    const auto levelAt = [&] (long long n) -> double {
        if (n < preroll + before)
            return low;
        if (n < preroll + before + high)
            return loud;
        return n < static_cast<long long> (preroll) + before + high + after + delay ? low : 0.0;
    };

    std::vector<double> inEnvelope (static_cast<size_t> (frames), 0.0), outEnvelope (static_cast<size_t> (frames), 0.0);
    const auto frameOf = [&] (long long position) { return position < 0 ? -1LL : position / frame; };

    if (! stage (
            static_cast<long long> (preroll) + before + high + after + delay,
            [&] (long long n) {
                const auto f = frameOf (n - preroll);
                if (f >= 0 && f < frames)
                    inEnvelope[static_cast<size_t> (f)] = std::max (inEnvelope[static_cast<size_t> (f)], levelAt (n));
                return levelAt (n) * std::sin (step * static_cast<double> (n));
            },
            [&] (long long n, double out) {
                const auto f = frameOf (n - preroll - delay);
                if (f >= 0 && f < frames)
                    outEnvelope[static_cast<size_t> (f)] = std::max (outEnvelope[static_cast<size_t> (f)], std::abs (out));
            }))
        return r;

    envelopeTimes (r, inEnvelope, outEnvelope, frame, before, high, params.externalSidechain);
    return r;
}
