#include "TrNullAnalyzer.h"

#include "TrNullSignal.h"
#include "TrParamChecks.h"
#include "dsp/TrDelay.h"
#include "dsp/TrFracShift.h"
#include "dsp/TrLoudness.h"
#include "dsp/TrMiniFft.h"
#include "dsp/TrSpectrum.h"
#include "results/TrErrorTexts.h"
#include "verdicts/TrVerdict.h"

#include <cmath>

namespace
{
const juce::String needsBothSlots = "NULL / AB needs plugins in both slot A and slot B";
const juce::String tooShort = "test signal is too short";
const juce::String nonFiniteOutput = "a plugin produced non-finite output (NaN/inf)";
const juce::String bothSilent = "both plugins put out silence - there is nothing to compare";

constexpr double silentPeak = 1e-5; // -100 dB re the signal's peak
constexpr float implausiblePeak = 100.0f;

float peakOf (const std::vector<float>& x)
{
    float peak = 0.0f;
    for (auto v : x)
        peak = std::max (peak, std::abs (v));
    return peak;
}

juce::String silentSide (const juce::String& side)
{
    return side + " puts out silence (below -100 dB re the signal) - there is nothing to compare";
}

constexpr double maxFileSeconds = 30.0;
constexpr double audibleLowHz = 20.0, audibleHighHz = 20000.0;
constexpr double loudnessGateLufs = -70.0; // what integratedLufs passes, its absolute gate
constexpr int spectrumPoints = 1024;
constexpr int welchLength = 8192;

juce::String problemWith (const TrNullParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          TrParamChecks::level (p.levelDb, "level"),
                                          std::isfinite (p.seconds) && p.seconds >= 0.0 && p.seconds <= 600.0
                                              ? juce::String()
                                              : "signal length must be from 0 to 600 seconds" });
}

/** Renders the signal plus one second of silence through one slot, under that slot's lock. */
bool renderSlot (TrPluginSlot& slot, const std::vector<float>& signal, const TrNullParams& params, std::atomic<float>* progress,
                 float progressOffset, const TrCancel& cancel, std::vector<float>& output)
{
    const juce::ScopedLock sl (slot.lock);
    return renderThrough (*slot.instance, params.blockSize, signal, static_cast<int> (params.sampleRate), params.channel,
                          output, progress, progressOffset, cancel);
}

bool hasNonFinite (const std::vector<float>& x)
{
    return ! std::all_of (x.begin(), x.end(), [] (float v) { return std::isfinite (v); });
}

double energy (const std::vector<float>& x)
{
    double sum = 0.0;
    for (auto v : x)
        sum += static_cast<double> (v) * v;
    return sum;
}

/** The energy between 20 Hz and 20 kHz (or 0.45 x the rate, when lower): what a listener
    could hear of a difference. */
double audibleEnergy (const std::vector<float>& x, double rate)
{
    int n = 1;
    while (static_cast<size_t> (n) < x.size())
        n *= 2;

    const auto spectrum = minifft::realSpectrum (std::vector<double> (x.begin(), x.end()), n);
    const auto low = static_cast<size_t> (std::ceil (audibleLowHz * n / rate));
    const auto high = static_cast<size_t> (std::min (audibleHighHz, 0.45 * rate) * n / rate);
    double sum = 0.0;
    for (auto k = low; k <= high && k < spectrum.size(); ++k)
        sum += std::norm (spectrum[k]);
    return sum;
}

/** The lag of b behind a to a small fraction of a sample: the coarse estimate's whole part taken
    out, what remains is the slope of the cross-spectrum's phase over the audible band,
    weighted by its magnitude. */
double refinedResidualDelay (const std::vector<float>& a, const std::vector<float>& b, double coarse, double rate)
{
    const auto size = std::min (a.size(), b.size());
    int n = 1;
    while (static_cast<size_t> (n) < size)
        n *= 2;

    const auto whole = std::llround (coarse);
    const auto fa = minifft::realSpectrum (std::vector<double> (a.begin(), a.begin() + static_cast<long> (size)), n);
    const auto fb = minifft::realSpectrum (std::vector<double> (b.begin(), b.begin() + static_cast<long> (size)), n);
    const auto twoPi = 2.0 * 3.14159265358979323846;
    const auto low = static_cast<int> (std::ceil (audibleLowHz * n / rate));
    const auto high = static_cast<int> (std::min (audibleHighHz, 0.45 * rate) * n / rate);

    double numerator = 0.0, denominator = 0.0;
    for (int k = std::max (1, low); k <= std::min (high, n / 2 - 1); ++k)
    {
        const auto omega = twoPi * k / n;
        const auto cross = fb[static_cast<size_t> (k)] * std::conj (fa[static_cast<size_t> (k)]) * std::polar (1.0, omega * static_cast<double> (whole));
        const auto weight = std::abs (cross);
        numerator += weight * omega * std::arg (cross);
        denominator += weight * omega * omega;
    }

    // For b lagging a by whole + f, the phase left is -omega f.
    const auto fraction = denominator > 0.0 ? -numerator / denominator : coarse - static_cast<double> (whole);
    return std::abs (fraction) <= 0.5 ? static_cast<double> (whole) + fraction : coarse;
}

void fillSpectra (TrNullResult& r, const std::vector<float>& a, const std::vector<float>& b, const std::vector<float>& d)
{
    const auto sa = welchSpectrumDb (a), sb = welchSpectrumDb (b), sd = welchSpectrumDb (d);
    const auto lowest = std::log10 (20.0), highest = std::log10 (0.99 * 0.5 * r.sampleRate);

    for (int k = 0; k < spectrumPoints; ++k)
    {
        const auto f = std::pow (10.0, lowest + k * (highest - lowest) / (spectrumPoints - 1));
        const auto bin = static_cast<size_t> (std::clamp (static_cast<int> (std::round (f * welchLength / r.sampleRate)), 1, welchLength / 2));
        r.freqHz.push_back (static_cast<float> (f));
        r.specADb.push_back (sa[bin]);
        r.specBDb.push_back (static_cast<float> (sb[bin] + r.matchGainDb));
        r.specDiffDb.push_back (sd[bin]);
    }
}
}

TrNullResult TrNullAnalyzer::run (TrPluginSlot& slotA, TrPluginSlot& slotB, const Params& params, std::atomic<float>* progress,
                                  const TrCancel& cancel)
{
    TrNullResult r;
    r.sampleRate = params.sampleRate;
    r.nameA = slotA.description.name;
    r.nameB = slotB.description.name;
    r.channelName = channelModeName (params.channel);

    if (slotA.instance == nullptr || slotB.instance == nullptr)
    {
        r.error = needsBothSlots;
        return r;
    }

    for (const auto* slot : { &slotA, &slotB })
    {
        const auto problem = channelModeProblem (params.channel, mainChannelsOf (*slot->instance));
        if (problem.isNotEmpty())
        {
            r.error = slot->description.name + ": " + problem;
            return r;
        }
    }

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto rate = params.sampleRate;
    std::vector<float> signal;
    // A missing path or a folder falls back to pink noise; the window relies on that.
    if (const auto file = TrNullSignal::fileFor (params.file); file != juce::File())
    {
        if (! TrNullSignal::readFile (file, rate, maxFileSeconds, signal, r.signalName, r.error))
            return r;
    }
    else
    {
        signal = TrNullSignal::pinkNoise (static_cast<int> (params.seconds * rate), params.levelDb);
        r.signalName = "pink noise";
    }

    if (signal.size() < static_cast<size_t> (rate))
    {
        r.error = tooShort;
        return r;
    }

    std::vector<float> outA, outB;
    if (! renderSlot (slotA, signal, params, progress, 0.0f, cancel, outA)
        || ! renderSlot (slotB, signal, params, progress, 0.45f, cancel, outB))
    {
        r.error = TrErrorText::aborted;
        return r;
    }

    if (hasNonFinite (outA) || hasNonFinite (outB))
    {
        r.error = nonFiniteOutput;
        return r;
    }

    if (peakOf (outA) > implausiblePeak || peakOf (outB) > implausiblePeak)
    {
        r.error = TrErrorText::implausible;
        return r;
    }

    // A silent side has no loudness to match and no delay to align; any figure would be invented.
    const auto quiet = silentPeak * peakOf (signal);
    const auto silentA = peakOf (outA) < quiet, silentB = peakOf (outB) < quiet;
    if (silentA || silentB)
    {
        r.error = silentA && silentB ? bothSilent : silentSide (silentA ? "A" : "B");
        return r;
    }

    // Each output against the dry signal first, then against each other to a fraction of a sample.
    const auto delayA = measureDelay (signal, outA, static_cast<int> (rate));
    const auto delayB = measureDelay (signal, outB, static_cast<int> (rate));
    const auto n = std::min ({ outA.size() - static_cast<size_t> (delayA), outB.size() - static_cast<size_t> (delayB), signal.size() });
    std::vector<float> a (outA.begin() + delayA, outA.begin() + delayA + static_cast<long> (n));
    const std::vector<float> coarse (outB.begin() + delayB, outB.begin() + delayB + static_cast<long> (n));
    const auto residual = refinedResidualDelay (a, coarse, residualDelay (a, coarse), rate);
    r.latencyDeltaSamples = residual + (delayB - delayA);

    // B is read at A's times from its whole output, so the interpolator has real samples on both
    // sides everywhere; only what lies past B's end is cut.
    auto b = applyFractionalDelay (outB, static_cast<double> (delayA) + r.latencyDeltaSamples);
    const auto usable = std::min (n, static_cast<size_t> (std::max (0.0, static_cast<double> (outB.size()) - delayA - r.latencyDeltaSamples)));
    a.resize (usable);
    b.resize (usable);

    const auto energyA = energy (a);

    r.lufsA = integratedLufs (a, rate);
    r.lufsB = integratedLufs (b, rate);

    // Below the loudness gate a side has no integrated loudness: its level is matched plainly.
    r.matchedByRms = r.lufsA <= loudnessGateLufs || r.lufsB <= loudnessGateLufs;
    r.matchGainDb = r.matchedByRms ? 10.0 * std::log10 (std::max (1e-20, energyA) / std::max (1e-20, energy (b))) : r.lufsA - r.lufsB;
    const auto gain = std::pow (10.0, r.matchGainDb / 20.0);

    std::vector<float> difference (a.size());
    float peak = 0.0f;
    for (size_t i = 0; i < a.size(); ++i)
    {
        difference[i] = static_cast<float> (a[i] - gain * b[i]);
        peak = std::max (peak, std::abs (difference[i]));
    }

    r.nullDepthDb = 10.0 * std::log10 (std::max (1e-20, audibleEnergy (difference, rate)) / std::max (1e-20, audibleEnergy (a, rate)));
    r.diffPeakDbfs = 20.0 * std::log10 (std::max (1e-10, static_cast<double> (peak)));
    r.verdictText = TrVerdict::forNull (r).text;

    fillSpectra (r, a, b, difference);
    r.residual = std::move (difference);

    if (progress != nullptr)
        progress->store (1.0f);

    return r;
}
