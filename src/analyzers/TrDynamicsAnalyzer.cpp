#include "TrDynamicsAnalyzer.h"

#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "TrStaticCurve.h"
#include "TrToneSpectrum.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrDelay.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSinkRender.h"
#include "hosting/TrMessageThread.h"
#include "hosting/TrReportedLatency.h"

#include <cmath>

namespace
{
const juce::String noSidechainBus = "plugin has no sidechain input bus";
const juce::String sidechainRefused = "could not enable the sidechain bus";

constexpr int probeLength = 131072;
constexpr int probeNoise = 16384;
constexpr int probeLargestLag = 98303;
constexpr double probePeak = 0.01; // -40 dBFS: quiet, so that it leaves few thresholds crossed
constexpr double tailGapSeconds = 0.5;
constexpr double tailShare = 1e-6;         // -60 dB of the burst's energy
constexpr double wobbleDb = 1.0;
constexpr double silentDb = -100.0;        // re the loudest step's input
constexpr double implausiblePeak = 100.0;  // +40 dBFS

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
          (p.endDb - p.startDb) / p.stepDb >= 4.0 ? juce::String() : "the level steps must number at least 5",
          std::all_of (durations.begin(), durations.end(), [] (double s) { return std::isfinite (s) && s >= 0.0 && s <= 600.0; })
                  && p.stepSeconds > 0.0 && p.burstHighSeconds > 0.0
              ? juce::String()
              : "durations must be from 0 to 600 seconds, steps and the high burst longer than 0" });
}

/** Switches the sidechain bus on for the run and restores the layout and preparation however
    the run ends. Layouts change and plugins are prepared on the message thread, as hosts want. */
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

        TrMessageThread::call ([this] {
            plugin.releaseResources();
            plugin.setBusesLayout (saved);
            plugin.prepareToPlay (sampleRate, blockSize);
        });
    }

    enum Outcome
    {
        enabled,
        refused,
        notServed
    };

    /** Enables input bus 1 as stereo, or else mono; refused (layout put back) when the plugin takes neither. */
    Outcome enableSidechain()
    {
        changed = true;
        auto outcome = refused;
        const auto served = TrMessageThread::call ([this, &outcome] {
            plugin.releaseResources();
            for (const auto& set : { juce::AudioChannelSet::stereo(), juce::AudioChannelSet::mono() })
            {
                auto layout = saved;
                layout.inputBuses.getReference (1) = set;
                if (plugin.setBusesLayout (layout))
                {
                    plugin.prepareToPlay (sampleRate, blockSize);
                    outcome = enabled;
                    return;
                }
            }
        });
        return served ? outcome : notServed;
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

/** Threshold, ratio, knee and make-up from the steps, by the least-squares curve fit. */
void extract (TrDynamicsResult& r, const TrDynamicsParams& p)
{
    std::vector<double> level, gain;
    for (size_t s = 0; s < r.inDb.size(); ++s)
    {
        level.push_back (r.inDb[s]);
        gain.push_back (p.externalSidechain ? r.outDb[s] - p.sidechainMainDb : r.outDb[s] - r.inDb[s]);
    }

    const auto fit = TrStaticCurve::fit (level, gain);
    using Shape = TrStaticCurve::Shape;
    r.shape = TrStaticCurve::shapeName (fit.shape);
    r.makeupDb = fit.makeupDb;
    r.fitErrorDb = fit.rmsErrorDb;

    // Without a threshold the top step stands in, as nothing below it was reduced.
    const auto shaped = fit.shape != Shape::linear && fit.shape != Shape::irregular;
    r.thresholdDb = shaped ? fit.thresholdDb : level.back();
    r.ratio = shaped ? fit.ratio : 1.0;
    r.kneeDb = shaped ? fit.kneeDb : 0.0;
}

struct DelayProbe
{
    int delay = -1;    // -1 when no clear peak shows
    bool tail = false; // output rings on well after the noise
    bool nonFinite = false;
};

/** The plugin's real delay from a white-noise burst, and whether its output outlasts it. */
DelayProbe probeDelay (const TrSinkRender& render, double sampleRate, const TrCancel& cancel)
{
    std::uint64_t state = 1414677593;
    std::vector<double> noise (probeNoise);
    for (auto& v : noise)
    {
        state = state * 25214903917ULL + 11;
        const auto u = static_cast<double> (static_cast<std::uint32_t> (state >> 16)) * std::ldexp (1.0, -32);
        v = (std::min (u, 0.9999999) * 2.0 - 1.0) * probePeak;
    }

    DelayProbe probe;
    std::vector<double> capture (probeLength, 0.0);
    const auto rendered = render.render (
        probeLength, [&] (long long i) { return i < probeNoise ? noise[static_cast<size_t> (i)] : 0.0; },
        [&] (long long i, double v) { capture[static_cast<size_t> (i)] = v; }, {}, cancel, probe.nonFinite);

    if (! rendered || probe.nonFinite)
        return probe;

    const auto c = minifft::crossCorrelation (noise, capture, probeLength);
    const auto peak = strongestLag (c, probeLargestLag + 1);
    if (isClearPeak (c, peak, probeLargestLag))
        probe.delay = peak;

    // Energy while the delayed noise plays, against what still comes out half a second after it.
    const auto start = static_cast<size_t> (std::max (0, probe.delay));
    const auto gapEnd = start + probeNoise + static_cast<size_t> (tailGapSeconds * sampleRate);
    double during = 0.0, after = 0.0;
    for (auto i = start; i < std::min (capture.size(), start + probeNoise); ++i)
        during += capture[i] * capture[i];
    for (auto i = gapEnd; i < capture.size(); ++i)
        after += capture[i] * capture[i];

    const auto afterLength = capture.size() > gapEnd ? static_cast<double> (capture.size() - gapEnd) : 0.0;
    probe.tail = afterLength > 0.0 && after / afterLength > tailShare * during / probeNoise;
    return probe;
}

void chooseBurstLevels (TrDynamicsResult& r, const TrDynamicsParams& p)
{
    if (p.autoBurst && r.shape == "compressor")
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

/** Gain envelope per frame, its baseline, and attack and release from it. A time inside the
    first frame reads 0: below the envelope's resolution. */
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

    const auto down = std::min ((before + high) / frame, frames);
    const auto frameMs = static_cast<double> (frame) / r.sampleRate * 1000.0;
    r.timeResolutionMs = frameMs;

    // The second half of the high level, where a static processor has settled and one that
    // recovers slowly only drifts one way: going back and forth by more than a decibel is
    // modulation.
    double travelled = 0.0;
    for (auto i = (up + down) / 2; i + 1 < down - 2; ++i)
        travelled += std::abs (r.envGainDb[static_cast<size_t> (i + 1)] - r.envGainDb[static_cast<size_t> (i)]);
    if (down - 2 > (up + down) / 2)
        r.timeVariant = travelled - std::abs (r.envGainDb[static_cast<size_t> (down - 3)] - r.envGainDb[static_cast<size_t> ((up + down) / 2)])
                      > 2.0 * wobbleDb;

    const auto q = (down - up) / 5;
    if (r.shape != "compressor" || ! (down - q < down - 2))
        return;

    const auto steady = TrToneSpectrum::median (std::vector<double> (r.envGainDb.begin() + (down - q), r.envGainDb.begin() + (down - 2)));
    if (steady >= -1.0)
        return;

    for (int e = up; e < down; ++e)
    {
        if (r.envGainDb[static_cast<size_t> (e)] <= 0.63 * steady)
        {
            r.attackMs = (e - up) * frameMs;
            break;
        }
    }

    for (int e = down; e < frames; ++e)
    {
        if (r.envGainDb[static_cast<size_t> (e)] >= 0.37 * steady)
        {
            r.releaseMs = (e - down) * frameMs;
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

    // An LV2 plugin may keep its sidechain in the main bus, where the render feeds it as it is.
    if (params.externalSidechain && ! TrChannelRoute (plugin, params.channel).hasSidechainInMainBus())
    {
        if (plugin.getBusCount (true) <= 1)
        {
            r.error = noSidechainBus;
            return r;
        }

        const auto outcome = layout.enableSidechain();
        if (outcome != RestoreLayout::enabled)
        {
            r.error = outcome == RestoreLayout::refused ? sidechainRefused : TrErrorText::aborted;
            return r;
        }
    }

    const auto step = juce::MathConstants<double>::twoPi * params.toneHz / rate;
    const auto mainAmplitude = dbToAmplitude (params.sidechainMainDb);
    TrSinkRender render { plugin, params.blockSize, params.channel, {} };
    if (params.externalSidechain)
        render.mainInput = [=] (long long n) { return mainAmplitude * std::sin (step * static_cast<double> (n)); };
    bool nonFinite = false;
    double outputPeak = 0.0;

    // Each stage starts from a reset, so that a plugin that keeps its state through one shows
    // as runs that disagree; the curve and the burst begin with a second or more at their low
    // level, which lets fades and smoothers settle. A stage fails on cancel and on broken output.
    const auto stage = [&] (long long total, const std::function<double (long long)>& source,
                            const std::function<void (long long, double)>& sink) {
        const auto watched = [&] (long long n, double v) {
            outputPeak = std::max (outputPeak, std::abs (v));
            sink (n, v);
        };
        if (! render.render (total, source, watched, { progress, 0.0f, 1.0f }, cancel, nonFinite))
            r.error = TrErrorText::aborted;
        else if (nonFinite)
            r.error = TrErrorText::nonFinite;
        else if (outputPeak > implausiblePeak)
            r.error = TrErrorText::implausible;
        return r.error.isEmpty();
    };

    // Delay first, so every window below reads the output that belongs to its input: a noise
    // burst on the main inputs; the reported latency stands in when no clear peak shows.
    if (! resetOnMessageThread (plugin))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    const TrSinkRender probeRender { plugin, params.blockSize, params.channel, {} };
    const auto probe = probeDelay (probeRender, rate, cancel);
    r.latencySamples = reportedLatency (plugin);
    r.delaySamples = probe.delay >= 0 ? probe.delay : std::max (0, r.latencySamples);
    r.hasTail = probe.tail;
    const auto delay = static_cast<long long> (r.delaySamples);

    // Transfer curve: a one-second lead-in at the first level, then one step after another.
    if (! resetOnMessageThread (plugin))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    const auto steps = static_cast<int> (std::floor ((params.endDb - params.startDb) / params.stepDb)) + 1;
    const auto stepLength = static_cast<long long> (params.stepSeconds * rate);
    const auto leadIn = static_cast<long long> (rate);
    const auto window = std::min (static_cast<long long> (0.1 * rate), stepLength / 2);
    std::vector<double> stepPeaks (static_cast<size_t> (steps), 0.0);

    const auto stepOf = [&] (long long n) { return n < leadIn ? -1 : static_cast<int> (std::min<long long> (steps - 1, (n - leadIn) / stepLength)); };
    if (! stage (
            leadIn + steps * stepLength + delay,
            [&] (long long n) {
                const auto s = std::max (0, stepOf (n));
                return dbToAmplitude (params.startDb + s * params.stepDb) * std::sin (step * static_cast<double> (n));
            },
            [&] (long long n, double out) {
                const auto s = stepOf (n - delay);
                if (s >= 0 && n - delay >= leadIn + (s + 1) * stepLength - window)
                    stepPeaks[static_cast<size_t> (s)] = std::max (stepPeaks[static_cast<size_t> (s)], std::abs (out));
            }))
        return r;

    for (int s = 0; s < steps; ++s)
    {
        r.inDb.push_back (static_cast<float> (params.startDb + s * params.stepDb));
        r.outDb.push_back (static_cast<float> (toDb (stepPeaks[static_cast<size_t> (s)])));
    }

    const auto loudestOut = *std::max_element (r.outDb.begin(), r.outDb.end());
    const auto loudestIn = params.externalSidechain ? params.sidechainMainDb : static_cast<double> (r.inDb.back());
    if (loudestOut < loudestIn + silentDb)
    {
        r.error = TrErrorText::silentOutput;
        return r;
    }

    extract (r, params);

    // Burst: low, high, low; envelopes per tone period, the output's shifted by the delay.
    chooseBurstLevels (r, params);
    if (! resetOnMessageThread (plugin))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
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
