#include "TrChecksAnalyzer.h"

#include "TrNoiseSpectrum.h"
#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrDelay.h"
#include "dsp/TrFracShift.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSettle.h"
#include "dsp/TrTransfer.h"
#include "dsp/TrSinkRender.h"
#include "hosting/TrReportedLatency.h"

#include <cmath>

namespace
{
constexpr int probeNoise = 32768;
constexpr int probeLength = probeNoise + 65536;
constexpr int probeTransform = 131072;
constexpr double probePeak = 0.25;
constexpr int correlationReach = 65535;
constexpr int noiseLength = 65536;
constexpr double silentPeak = 1e-5 * probePeak; // -100 dB re the probe
constexpr double implausiblePeak = 100.0;       // +40 dBFS
constexpr double timeVariantChange = 0.01;      // -20 dB between two answers to one probe
constexpr double probeDecaySeconds = 4.0;
constexpr double decayedShare = 1e-10;          // -100 dB of the probe's peak power

juce::String problemWith (const TrChecksParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          TrParamChecks::frequency (p.toneHz, p.sampleRate, "tone frequency"),
                                          TrParamChecks::level (p.levelDb, "level") });
}

/** Deterministic noise (xorshift), uniform in [-0.25, 0.25), then silence. */
std::vector<double> probeSignal()
{
    std::uint32_t s = 625341585;
    std::vector<double> probe (probeLength, 0.0);
    for (int i = 0; i < probeNoise; ++i)
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        probe[static_cast<size_t> (i)] = (static_cast<double> (s & 0xFFFFFF) * std::ldexp (1.0, -23) - 1.0) * 0.25;
    }
    return probe;
}

double dbOrFloor (double value)
{
    return 20.0 * std::log10 (std::max (1e-12, value));
}

double bypassNull (const std::vector<double>& probe, const std::vector<double>& capture)
{
    const auto lag = xcorrPeak (probe, capture);
    const auto whole = std::llround (lag);
    const auto aligned = fracShift (capture, lag - static_cast<double> (whole));

    double signal = 0.0, error = 0.0;
    long long pairs = 0;
    for (long long m = 0; m < probeNoise; ++m)
    {
        const auto i = whole + m;
        if (i < 0 || i >= static_cast<long long> (aligned.size()))
            continue;

        const auto a = probe[static_cast<size_t> (m)];
        signal += a * a;
        error += (aligned[static_cast<size_t> (i)] - a) * (aligned[static_cast<size_t> (i)] - a);
        ++pairs;
    }

    if (pairs == 0)
        return 0.0;

    const auto level = [pairs] (double sumOfSquares) {
        const auto rms = std::sqrt (sumOfSquares / static_cast<double> (pairs));
        return rms < 1e-12 ? -240.0 : 20.0 * std::log10 (rms);
    };
    return level (error) - level (signal);
}
}

TrChecksResult TrChecksAnalyzer::run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel)
{
    TrChecksResult r;
    r.sampleRate = params.sampleRate;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto rate = params.sampleRate;
    const juce::ScopedLock sl (slot.lock);
    auto& plugin = *slot.instance;
    const TrSinkRender render { plugin, params.blockSize, params.channel, {} };
    const auto silence = [] (long long) { return 0.0; };
    const auto ignore = [] (long long, double) {};
    bool nonFinite = false;

    const auto stage = [&] (long long samples, const std::function<double (long long)>& source,
                            const std::function<void (long long, double)>& sink, float from, float to) {
        if (render.render (samples, source, sink, { progress, from, to }, cancel, nonFinite))
            return true;
        r.error = TrErrorText::aborted;
        return false;
    };

    if (! resetOnMessageThread (plugin))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    r.reportedLatency = latencyBeforeAudio (plugin, params.blockSize);

    if (! TrSettle::run (plugin, rate, params.blockSize, params.channel, probePeak, cancel))
    {
        r.error = TrErrorText::aborted;
        return r;
    }

    // Every stage's output counts towards telling silence and implausible levels.
    double outputPeak = 0.0;
    long long rendered = 0;
    const auto watched = [&] (const std::function<void (long long, double)>& sink) {
        return [&, sink] (long long n, double v) {
            outputPeak = std::max (outputPeak, std::abs (v));
            sink (n, v);
        };
    };
    const auto watchedStage = [&] (long long samples, const std::function<double (long long)>& source,
                                   const std::function<void (long long, double)>& sink, float from, float to) {
        rendered += samples;
        return stage (samples, source, watched (sink), from, to);
    };

    // Latency and polarity, from the transfer function the probe reveals.
    const auto probe = probeSignal();
    std::vector<double> capture (probeLength, 0.0);
    const auto fromProbe = [&probe] (long long i) { return probe[static_cast<size_t> (i)]; };
    const auto intoCapture = [&capture] (long long i, double v) { capture[static_cast<size_t> (i)] = v; };
    const auto stimulus = minifft::realSpectrum (probe, probeTransform);
    if (! watchedStage (probeLength, fromProbe, intoCapture, 0.0f, 0.15f))
        return r;
    const auto first = TrTransfer::deconvolve (stimulus, minifft::realSpectrum (capture, probeTransform));

    // The same probe again, once the first has died away: a plugin that modulates or drifts
    // answers it differently, and then no delay read from it can be trusted.
    const auto chunk = static_cast<long long> (0.1 * rate);
    const auto decayCap = std::max (0, r.reportedLatency) + static_cast<long long> (probeDecaySeconds * rate);
    double chunkEnergy = 0.0;
    for (long long waited = 0; waited < decayCap; waited += chunk)
    {
        chunkEnergy = 0.0;
        if (! stage (chunk, silence, [&] (long long, double v) { chunkEnergy += v * v; }, 0.15f, 0.15f))
            return r;
        if (chunkEnergy <= decayedShare * probePeak * probePeak * static_cast<double> (chunk))
            break;
    }

    if (! watchedStage (probeLength, fromProbe, intoCapture, 0.15f, 0.3f))
        return r;
    r.timeVariant = TrTransfer::relativeChange (first, TrTransfer::deconvolve (stimulus, minifft::realSpectrum (capture, probeTransform)))
                  > timeVariantChange;

    const auto timing = TrTransfer::timing (first, probeTransform, rate, correlationReach);
    r.responseSpread = timing.clear && ! timing.beyondReach && timing.spread;
    r.latencyUnclear = ! timing.clear || r.timeVariant || r.responseSpread;
    r.latencyAtSearchLimit = timing.beyondReach;
    r.measuredLatency = r.latencyUnclear ? TrSentinel::notMeasured : timing.beyondReach ? correlationReach : timing.latencySamples;
    r.polarityInverted = ! r.latencyUnclear && ! timing.beyondReach && timing.inverted;
    r.arrivalEarliest = timing.earliestSamples;
    r.arrivalLatest = timing.latestSamples;

    // DC while a tone plays; then the latency reported now that audio has run.
    const auto toneSkip = static_cast<long long> (0.5 * rate);
    const auto amplitude = dbToAmplitude (params.levelDb);
    const auto step = juce::MathConstants<double>::twoPi * params.toneHz / rate;
    double dcSum = 0.0;
    long long dcCount = 0;
    if (! watchedStage (toneSkip + static_cast<long long> (rate), [=] (long long n) { return amplitude * std::sin (step * static_cast<double> (n)); },
                 [&] (long long n, double v) {
                     if (n >= toneSkip)
                     {
                         dcSum += v;
                         ++dcCount;
                     }
                 },
                 0.3f, 0.5f))
        return r;

    r.dcSignalDbfs = dcCount > 0 ? dbOrFloor (std::abs (dcSum / static_cast<double> (dcCount))) : 0.0;
    r.reportedLatencyAfter = reportedLatency (plugin);

    if (outputPeak > implausiblePeak)
    {
        r.error = TrErrorText::implausible;
        return r;
    }

    // A plugin that reports more delay than has been rendered may just not have answered yet.
    if (outputPeak < silentPeak && ! nonFinite && std::max (r.reportedLatency, r.reportedLatencyAfter) < rendered)
    {
        r.error = TrErrorText::silentOutput;
        return r;
    }

    // Let tails decay: first the plugin's whole delay, so that what it still owes has come out,
    // then half seconds of silence while the level still falls by more than 0.5 dB.
    const auto delay = static_cast<long long> (std::max ({ 0.0, r.measuredLatency, static_cast<double> (r.reportedLatencyAfter) }));
    if (! stage (delay, silence, ignore, 0.5f, 0.5f))
        return r;

    const auto half = static_cast<long long> (0.5 * rate);
    double previousRms = 0.0;
    for (int j = 1; j <= 16; ++j)
    {
        double sumOfSquares = 0.0;
        const auto from = 0.5f + static_cast<float> (j - 1) * 0.01f;
        if (! stage (half, silence, [&] (long long, double v) { sumOfSquares += v * v; }, from, from + 0.01f))
            return r;

        const auto rms = std::sqrt (sumOfSquares / static_cast<double> (half));
        if (j > 1 && ! (rms < 0.944 * previousRms && rms >= 1e-9))
            break;
        previousRms = rms;
    }

    // Self-noise on pure silence, and its spectrum.
    const auto noiseSamples = std::max (static_cast<long long> (noiseLength), static_cast<long long> (rate));
    double sum = 0.0, sumOfSquares = 0.0;
    std::vector<double> last (noiseLength, 0.0);
    if (! stage (noiseSamples, silence,
                 [&] (long long n, double v) {
                     sum += v;
                     sumOfSquares += v * v;
                     if (n >= noiseSamples - noiseLength)
                         last[static_cast<size_t> (n - (noiseSamples - noiseLength))] = v;
                 },
                 0.66f, 0.75f))
        return r;

    // Self-noise is what moves: a constant offset is DC, told apart above.
    const auto mean = sum / static_cast<double> (noiseSamples);
    r.dcIdleDbfs = dbOrFloor (std::abs (mean));
    r.selfNoiseDbfs = dbOrFloor (std::sqrt (std::max (0.0, sumOfSquares / static_cast<double> (noiseSamples) - mean * mean)));
    fillNoiseSpectrum (last, r);

    // Bypass: the probe again with the plugin's own bypass switched on, then switched back.
    if (auto* bypass = plugin.getBypassParameter())
    {
        r.bypassFound = true;
        const auto remembered = bypass->getValue();
        const auto settle = static_cast<long long> (0.25 * rate);

        bypass->setValueNotifyingHost (1.0f);
        std::fill (capture.begin(), capture.end(), 0.0);
        const auto bypassRendered = stage (settle, silence, ignore, 0.75f, 0.78f) && stage (probeLength, fromProbe, intoCapture, 0.78f, 0.97f);
        bypass->setValueNotifyingHost (remembered);
        if (! bypassRendered)
            return r;

        if (! stage (settle, silence, ignore, 0.97f, 1.0f))
            return r;

        r.bypassNullDb = bypassNull (probe, capture);
    }

    if (nonFinite)
        r.error = TrErrorText::nonFinite;
    else if (progress != nullptr)
        progress->store (1.0f);

    return r;
}
