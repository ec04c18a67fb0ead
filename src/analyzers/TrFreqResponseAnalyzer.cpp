#include "TrFreqResponseAnalyzer.h"

#include "TrParamChecks.h"
#include "TrPhaseCharacter.h"
#include "TrSlotRun.h"
#include "TrToneSpectrum.h"
#include "hosting/TrReportedLatency.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSettle.h"
#include "dsp/TrTransfer.h"

#include <cmath>
#include <complex>

namespace
{
using Spectrum = TrTransfer::Spectrum;

constexpr double sweepStartHz = 20.0;
constexpr double fadeSeconds = 0.005;
constexpr double longestDelaySeconds = 2.0;
constexpr double timeVariantDb = 0.25;
constexpr int maxPoints = 100000;
constexpr double maxSeconds = 600.0;
constexpr double judgedLowHz = 50.0, judgedHighShare = 0.4;
constexpr double silentGain = 1e-5; // -100 dB

juce::String problemWith (const TrCurveParams& p)
{
    const auto seconds = [] (double s, bool mayBeZero) { return std::isfinite (s) && (s > 0.0 || (mayBeZero && s == 0.0)) && s <= maxSeconds; };
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          TrParamChecks::level (p.levelDb, "level"),
                                          seconds (p.sweepSeconds, false) ? juce::String() : "sweep length must be above 0 and at most 600 seconds",
                                          seconds (p.tailSeconds, true) ? juce::String() : "tail length must be from 0 to 600 seconds",
                                          p.points >= 2 && p.points <= maxPoints ? juce::String() : "points must be from 2 to 100000" });
}

/** The exponential sweep from 20 Hz to Nyquist with 5 ms raised-cosine fades, then silence. */
std::vector<double> sweepStimulus (const TrCurveParams& p, int sweep, int tail)
{
    const auto amplitude = dbToAmplitude (p.levelDb);
    const auto rate = p.sampleRate;
    const auto lw = p.sweepSeconds / std::log (0.5 * rate / sweepStartHz);
    const auto fade = static_cast<int> (fadeSeconds * rate);
    const auto pi = juce::MathConstants<double>::pi;

    std::vector<double> x (static_cast<size_t> (sweep + tail), 0.0);
    for (int i = 0; i < sweep; ++i)
    {
        auto v = amplitude * std::sin (2.0 * pi * sweepStartHz * lw * (std::exp (i / (rate * lw)) - 1.0));
        if (i < fade)
            v *= (1.0 - std::cos (pi * i / fade)) / 2.0;
        if (i >= sweep - fade)
            v *= (1.0 - std::cos (pi * (sweep - i - 1) / fade)) / 2.0;
        x[static_cast<size_t> (i)] = v;
    }

    return x;
}

/** The index of the largest |h| among lags 0..largest of the impulse response. */
int strongestSample (const Spectrum& transfer, int n, int largest)
{
    const auto h = minifft::inverseRealSpectrum (transfer, n);
    int peak = 0;
    for (int i = 1; i <= largest; ++i)
        if (std::abs (h[static_cast<size_t> (i)]) > std::abs (h[static_cast<size_t> (peak)]))
            peak = i;
    return peak;
}

/** The linear part of the response alone. An exponential sweep puts the response of each
    harmonic k ahead of the linear one, by lead x log2 (k) samples; keeping only what lies from
    half that lead before the peak to half the transform after it leaves distortion out of the
    curve, however long the plugin's own response. */
Spectrum gated (const Spectrum& transfer, int n, int peak, int lead)
{
    auto h = minifft::inverseRealSpectrum (transfer, n);
    const auto before = std::min (lead / 2, n / 4);
    for (int i = 0; i < n; ++i)
    {
        const auto offset = ((i - peak) % n + n) % n; // lag after the peak, circularly
        if (offset >= n / 2 && offset < n - before)
            h[static_cast<size_t> (i)] = 0.0;
    }
    return minifft::realSpectrum (h, n);
}

/** Phase per bin with the measured delay removed, unwrapped over the bins that carry signal. */
std::vector<double> unwrappedPhase (const Spectrum& transfer, int n, double delay)
{
    double largest = 1e-12;
    for (int k = 0; k < n / 2; ++k)
        largest = std::max (largest, std::abs (transfer[static_cast<size_t> (k)]));

    const auto twoPi = juce::MathConstants<double>::twoPi;
    std::vector<double> phase (static_cast<size_t> (n / 2), 0.0);
    double previous = 0.0, offset = 0.0;
    bool started = false;

    for (int j = 1; j < n / 2; ++j)
    {
        const auto& h = transfer[static_cast<size_t> (j)];
        if (std::abs (h) >= 1e-5 * largest)
        {
            const auto wrapped = std::remainder (std::arg (h) + twoPi * j * delay / n, twoPi);
            if (started)
            {
                const auto step = wrapped - previous;
                if (step > juce::MathConstants<double>::pi)
                    offset -= twoPi;
                else if (step < -juce::MathConstants<double>::pi)
                    offset += twoPi;
            }
            previous = wrapped;
            started = true;
        }
        phase[static_cast<size_t> (j)] = previous + offset;
    }

    return phase;
}

/** magDb at the curve points and the grid bin each point reads. */
std::vector<float> magnitudesAt (const Spectrum& transfer, const std::vector<int>& bins)
{
    std::vector<float> db (bins.size());
    for (size_t i = 0; i < bins.size(); ++i)
        db[i] = static_cast<float> (20.0 * std::log10 (std::max (1e-9, std::abs (transfer[static_cast<size_t> (bins[i])]))));

    return db;
}

/** Power average over about 1/48 octave around each point. */
std::vector<float> smoothed (const std::vector<float>& db, double fmax)
{
    const auto points = static_cast<int> (db.size());
    const auto octaves = std::log2 (fmax / sweepStartHz);
    const auto halfWidth = std::max (1, static_cast<int> (points / octaves / 48.0 * 0.5));

    std::vector<float> out (db.size());
    for (int i = 0; i < points; ++i)
    {
        double sum = 0.0;
        const auto from = std::max (0, i - halfWidth), to = std::min (points - 1, i + halfWidth);
        for (int j = from; j <= to; ++j)
            sum += std::pow (10.0, db[static_cast<size_t> (j)] / 10.0);
        out[static_cast<size_t> (i)] = static_cast<float> (10.0 * std::log10 (std::max (1e-30, sum / (to - from + 1))));
    }

    return out;
}

/** Whether no bin of the judged band comes within 100 dB of unity gain. */
bool silent (const Spectrum& transfer, int n, double sampleRate)
{
    for (int k = 1; k < n / 2; ++k)
    {
        const auto hz = k * sampleRate / n;
        if (hz >= judgedLowHz && hz <= judgedHighShare * sampleRate && std::abs (transfer[static_cast<size_t> (k)]) > silentGain)
            return false;
    }
    return true;
}
}

TrCurveResult TrFreqResponseAnalyzer::run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress,
                                           const TrCancel& cancel)
{
    TrCurveResult r;
    r.sampleRate = params.sampleRate;
    r.levelDb = params.levelDb;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto rate = params.sampleRate;
    const auto sweep = static_cast<int> (params.sweepSeconds * rate);
    const auto tail = static_cast<int> (params.tailSeconds * rate);
    const auto stimulus = sweepStimulus (params, sweep, tail);
    const auto source = [&stimulus] (long long i) { return i < static_cast<long long> (stimulus.size()) ? stimulus[static_cast<size_t> (i)] : 0.0; };

    std::vector<double> first, second;
    int n = 1;
    {
        const juce::ScopedLock sl (slot.lock);
        auto& plugin = *slot.instance;
        if (! resetOnMessageThread (plugin)
            || ! TrSettle::run (plugin, rate, params.blockSize, params.channel, dbToAmplitude (params.levelDb), cancel))
        {
            r.error = TrErrorText::aborted;
            return r;
        }

        const auto captureLength = static_cast<int> (stimulus.size()) + std::max (0, reportedLatency (plugin));
        while (n < captureLength)
            n *= 2;

        const auto half = params.repeat ? 0.5f : 1.0f;
        TrCaptureCost firstCost, secondCost;
        if (! renderUnchecked (plugin, params.blockSize, params.channel, 0, captureLength, source, first, r.error,
                               { progress, 0.0f, half }, cancel, &firstCost)
            || (params.repeat && ! renderUnchecked (plugin, params.blockSize, params.channel, 0, captureLength, source, second,
                                                    r.error, { progress, 0.5f, 1.0f }, cancel, &secondCost)))
            return r;

        auto blocks = firstCost.blockSeconds;
        blocks.insert (blocks.end(), secondCost.blockSeconds.begin(), secondCost.blockSeconds.end());
        r.cpuNsPerSample = TrToneSpectrum::median (blocks) * 1e9 / params.blockSize;
        r.reportedLatency = reportedLatency (plugin);
    }

    if (! checkCapture (first, r.error) || ! checkCapture (second, r.error))
        return r;

    const auto x = minifft::realSpectrum (stimulus, n);
    const auto ungated = TrTransfer::deconvolve (x, minifft::realSpectrum (first, n));
    const auto longest = std::min (static_cast<int> (longestDelaySeconds * rate), n) - 1;
    const auto anchor = strongestSample (ungated, n, longest);
    const auto harmonicLead = static_cast<int> (std::log (2.0) * params.sweepSeconds / std::log (0.5 * rate / sweepStartHz) * rate);
    const auto transfer = gated (ungated, n, anchor, harmonicLead);
    if (silent (transfer, n, rate))
    {
        r.error = TrErrorText::silentOutput;
        return r;
    }

    const auto timing = TrTransfer::timing (transfer, n, rate, longest);
    r.measuredLatency = timing.latencySamples;
    r.latencyUnclear = ! timing.clear || timing.beyondReach || timing.spread;
    r.polarityInverted = timing.inverted;
    r.arrivalEarliest = timing.earliestSamples;
    r.arrivalLatest = timing.latestSamples;
    const auto phase = unwrappedPhase (transfer, n, r.measuredLatency);

    const auto fmax = 0.99 * 0.5 * rate;
    std::vector<int> bins;
    for (int i = 0; i < params.points; ++i)
    {
        const auto f = std::pow (10.0, std::log10 (sweepStartHz) + i * (std::log10 (fmax) - std::log10 (sweepStartHz)) / (params.points - 1));
        const auto bin = std::clamp (static_cast<int> (std::round (f * n / rate)), 1, n / 2 - 1);
        bins.push_back (bin);
        r.freqHz.push_back (static_cast<float> (f));
        r.phaseDeg.push_back (static_cast<float> (phase[static_cast<size_t> (bin)] * 180.0 / juce::MathConstants<double>::pi));
    }

    r.magDb = magnitudesAt (transfer, bins);
    r.magSmoothedDb = smoothed (r.magDb, fmax);

    size_t nearest1k = 0;
    for (size_t i = 1; i < r.freqHz.size(); ++i)
        if (std::abs (r.freqHz[i] - 1000.0f) < std::abs (r.freqHz[nearest1k] - 1000.0f))
            nearest1k = i;
    r.gainAt1kDb = r.magDb[nearest1k];

    TrPhaseCharacter::classify (r, bins, transfer, n);

    if (params.repeat)
    {
        const auto again = smoothed (magnitudesAt (gated (TrTransfer::deconvolve (x, minifft::realSpectrum (second, n)), n, anchor, harmonicLead), bins), fmax);
        r.repeatabilityDb = 0.0;
        for (size_t i = 0; i < again.size(); ++i)
            if (r.freqHz[i] >= judgedLowHz && r.freqHz[i] <= judgedHighShare * rate)
                r.repeatabilityDb = std::max (r.repeatabilityDb, static_cast<double> (std::abs (again[i] - r.magSmoothedDb[i])));
        r.timeVariant = r.repeatabilityDb > timeVariantDb;

        // A response that changes from sweep to sweep has no delay or polarity to hold on to.
        if (r.timeVariant)
        {
            r.latencyUnclear = true;
            r.polarityInverted = false;
        }
    }

    return r;
}
