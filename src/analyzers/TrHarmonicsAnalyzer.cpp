#include "TrHarmonicsAnalyzer.h"

#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "hosting/TrReportedLatency.h"
#include "TrToneSpectrum.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrSettle.h"
#include "dsp/TrSpectrum.h"

#include <cmath>

namespace
{
const juce::String silentOutput = "output fundamental below -100 dB re stimulus (silent or gated output?)";

constexpr int prominenceWindowBins = 96;
constexpr int prominenceGapBins = 4;
constexpr double onGridShare = 0.9;
constexpr double sidebandReachHz = 32.0; // the rates LFOs run at
constexpr double sidebandLimitDb = -60.0;
constexpr double realLineDb = 12.0; // above the floor and its surroundings: a line, not the top of the noise

juce::String problemWith (const TrHarmonicsParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::fftSize (p.fftSize, "FFT size"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          std::isfinite (p.frequencyHz) ? juce::String() : "frequency must be a number",
                                          std::isfinite (p.levelDb) ? juce::String() : "level must be a number" });
}

/** Whether a line holds nine tenths of the energy of its bin and the two beside it. */
bool onGrid (const std::vector<double>& x, int peak)
{
    const auto power = [&] (int j) { return j >= 0 && j < static_cast<int> (x.size()) ? x[static_cast<size_t> (j)] * x[static_cast<size_t> (j)] : 0.0; };
    return power (peak) >= onGridShare * (power (peak - 1) + power (peak) + power (peak + 1));
}

/** Fills the first block's figures; false when the output is silent. The flat-top spectrum
    reads a spur off the tone's bin grid at its true level. */
bool analyseFirstBlock (const std::vector<double>& x, const std::vector<double>& flatTop, int bin, double amplitude, int n,
                        TrHarmonicsResult& r)
{
    using Kind = TrToneSpectrum::BinKind;
    const auto fundamental = std::max (1e-12, x[static_cast<size_t> (bin)]);
    if (TrToneSpectrum::belowMinus100Db (fundamental, amplitude, n))
    {
        r.error = silentOutput;
        return false;
    }

    const auto last = n / 2;
    const auto kinds = TrToneSpectrum::binKinds (bin, n);
    const auto harmonicBelowNyquist = 2 * bin <= last;

    std::vector<double> noise;
    for (int j = 1; j <= last; ++j)
        if (kinds[static_cast<size_t> (j)] == Kind::noise)
            noise.push_back (x[static_cast<size_t> (j)]);

    // A tone that stays on its bin has nothing beside it; modulation spreads it into sidebands.
    double sidebands = 0.0;
    const auto reach = std::max (2, static_cast<int> (sidebandReachHz / r.binHz));
    for (int offset = 2; offset <= reach; ++offset)
        for (const auto j : { bin - offset, bin + offset })
            if (j >= 1 && j <= last)
                sidebands += x[static_cast<size_t> (j)] * x[static_cast<size_t> (j)];
    r.sidebandDb = powerDb (sidebands, fundamental);

    r.thdDb = harmonicBelowNyquist ? powerDb (TrToneSpectrum::harmonicPower (x, bin), fundamental) : NAN;
    r.thdPercent = harmonicBelowNyquist ? 100.0 * std::pow (10.0, r.thdDb / 20.0) : NAN;
    r.thdnDb = powerDb (TrToneSpectrum::powerBesides (x, bin), fundamental);
    r.dcDb = amplitudeDb (x[0], fundamental);
    if (! noise.empty())
        r.noiseFloorDb = amplitudeDb (TrToneSpectrum::median (noise), fundamental);

    // How far a line stands above the median of the noise around it.
    const auto prominence = [&] (int peak) {
        std::vector<double> around;
        for (int j = std::max (1, peak - prominenceWindowBins); j <= std::min (last, peak + prominenceWindowBins); ++j)
            if (std::abs (j - peak) > prominenceGapBins && kinds[static_cast<size_t> (j)] == Kind::noise)
                around.push_back (x[static_cast<size_t> (j)]);
        return around.empty() ? 0.0 : amplitudeDb (x[static_cast<size_t> (peak)], std::max (1e-12, TrToneSpectrum::median (around)));
    };

    r.aliasPeakBin = TrToneSpectrum::strongestOfKind (x, kinds, Kind::alias);
    if (r.aliasPeakBin > 0)
    {
        r.aliasPeakDb = amplitudeDb (x[static_cast<size_t> (r.aliasPeakBin)], fundamental);
        r.aliasProminenceDb = prominence (r.aliasPeakBin);
    }

    // The strongest line that is neither the tone's nor folded from it: hum, an idle tone. What
    // the tone makes sits exactly on a bin; a line off the tone's grid spreads over its
    // neighbours, which tells it from a fold of a harmonic too high to be followed.
    const auto spur = TrToneSpectrum::strongestOfKind (x, kinds, Kind::noise);
    if (spur > 0 && ! onGrid (x, spur) && prominence (spur) > realLineDb
        && amplitudeDb (x[static_cast<size_t> (spur)], fundamental) > r.noiseFloorDb + realLineDb)
    {
        double level = 0.0;
        for (int j = std::max (1, spur - 2); j <= std::min (last, spur + 2); ++j)
            level = std::max (level, flatTop[static_cast<size_t> (j)]);
        r.spurDb = amplitudeDb (level, fundamental);
        r.spurHz = spur * r.binHz;
    }

    r.spectrumDb.resize (x.size());
    for (size_t k = 0; k < x.size(); ++k)
        r.spectrumDb[k] = static_cast<float> (amplitudeDb (x[k], fundamental));

    return true;
}

/** The second block follows the first directly; a plugin that modulates or drifts differs. */
void repeatTest (const std::vector<double>& x2, int bin, TrHarmonicsResult& r, double fundamental)
{
    const auto fundamental2 = std::max (1e-12, x2[static_cast<size_t> (bin)]);
    const auto levelChange = std::abs (20.0 * std::log10 (fundamental2 / fundamental));
    const auto noiseChange = std::abs (powerDb (TrToneSpectrum::powerBesides (x2, bin), fundamental2) - r.thdnDb);

    r.repeatDeltaDb = std::max (levelChange, noiseChange);
    r.timeVariant = levelChange > 0.25 || noiseChange > 3.0 || r.sidebandDb > sidebandLimitDb;
}
}

TrHarmonicsResult TrHarmonicsAnalyzer::run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress,
                                            const TrCancel& cancel)
{
    TrHarmonicsResult r;
    r.sampleRate = params.sampleRate;
    r.levelDb = params.levelDb;
    r.fftSize = params.fftSize;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto n = params.fftSize;
    const auto amplitude = dbToAmplitude (params.levelDb);
    r.bin = TrToneSpectrum::snapToOddBin (params.frequencyHz, n, params.sampleRate);
    r.frequencyHz = r.bin * params.sampleRate / n;
    r.binHz = params.sampleRate / n;

    const juce::ScopedLock sl (slot.lock);
    auto& plugin = *slot.instance;
    if (! resetOnMessageThread (plugin) || ! TrSettle::run (plugin, params.sampleRate, params.blockSize, params.channel, amplitude, cancel))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    r.latencySamples = reportedLatency (plugin);

    const auto skip = r.latencySamples + static_cast<int> (params.sampleRate);
    const auto step = juce::MathConstants<double>::twoPi * r.frequencyHz / params.sampleRate;
    std::vector<double> capture;
    TrCaptureCost cost;

    const auto rendered = renderCapture (plugin, params.blockSize, params.channel, skip, 2 * n,
                                         [=] (long long i) { return amplitude * std::sin (step * static_cast<double> (i)); },
                                         capture, r.error, { progress, 0.0f, 1.0f }, cancel, &cost);

    if (! rendered && r.error == TrErrorText::aborted)
        return r;

    r.cpuNsPerSample = cost.samplesRendered > 0 ? cost.processSeconds * 1e9 / static_cast<double> (cost.samplesRendered) : 0.0;
    r.latencySamples = reportedLatency (plugin);

    if (! rendered)
        return r;

    const auto first = TrToneSpectrum::magnitudes (capture.data(), n);
    if (! analyseFirstBlock (first, TrToneSpectrum::flatTopMagnitudes (capture.data(), n), r.bin, amplitude, n, r))
        return r;

    r.truePeakDb = amplitudeDb (oversampledPeak (std::vector<double> (capture.begin(), capture.begin() + n)));
    repeatTest (TrToneSpectrum::magnitudes (capture.data() + n, n), r.bin, r, std::max (1e-12, first[static_cast<size_t> (r.bin)]));
    return r;
}
