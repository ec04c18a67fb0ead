#include "TrHarmonicsAnalyzer.h"

#include "TrParamChecks.h"
#include "TrSlotRun.h"
#include "dsp/TrSettle.h"
#include "hosting/TrReportedLatency.h"
#include "TrToneSpectrum.h"
#include "dsp/TrDecibels.h"

#include <cmath>

namespace
{
constexpr double lowestHz = 20.0;
constexpr double highestHz = 20000.0;
constexpr double levelSweepFromDb = -60.0;

juce::String problemWith (const TrThdSweepParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::fftSize (p.fftSize, "FFT size"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          TrParamChecks::points (p.points, "points"),
                                          std::isfinite (p.frequencyHz) ? juce::String() : "frequency must be a number",
                                          std::isfinite (p.levelDb) ? juce::String() : "level must be a number" });
}

/** Appends one point's figures; every per-point vector grows by exactly one entry. */
void appendPoint (TrThdSweepResult& r, float x, const std::vector<double>& spectrum, int bin, double amplitude, int n)
{
    const auto last = n / 2;
    const auto fundamental = std::max (1e-12, spectrum[static_cast<size_t> (bin)]);
    const auto silent = TrToneSpectrum::belowMinus100Db (fundamental, amplitude, n);
    const auto alias = TrToneSpectrum::strongestOfKind (spectrum, TrToneSpectrum::binKinds (bin, n), TrToneSpectrum::BinKind::alias);

    const auto orNan = [silent] (bool applies, double value) { return static_cast<float> (! silent && applies ? value : NAN); };

    r.x.push_back (x);
    r.thdDb.push_back (orNan (2 * bin <= last, powerDb (TrToneSpectrum::harmonicPower (spectrum, bin), fundamental)));
    r.thdnDb.push_back (orNan (true, powerDb (TrToneSpectrum::powerBesides (spectrum, bin), fundamental)));
    r.aliasDb.push_back (orNan (alias > 0, amplitudeDb (spectrum[static_cast<size_t> (alias)], fundamental)));

    for (int i = 0; i < 4; ++i)
    {
        const auto harmonic = (i + 2) * bin;
        r.harmonicDb[static_cast<size_t> (i)].push_back (
            orNan (harmonic <= last, amplitudeDb (spectrum[static_cast<size_t> (std::min (harmonic, last))], fundamental)));
    }
}
}

TrThdSweepResult TrHarmonicsAnalyzer::runThdSweep (TrPluginSlot& slot, const SweepParams& params,
                                                   std::atomic<float>* progress, const TrCancel& cancel)
{
    TrThdSweepResult r;
    r.sampleRate = params.sampleRate;
    r.fftSize = params.fftSize;
    r.vsLevel = params.vsLevel;
    r.levelDb = params.levelDb;

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto n = params.fftSize;
    const auto points = std::max (2, params.points);

    const juce::ScopedLock sl (slot.lock);
    auto& plugin = *slot.instance;
    const auto firstLevel = params.vsLevel ? levelSweepFromDb : params.levelDb;
    if (! resetOnMessageThread (plugin)
        || ! TrSettle::run (plugin, params.sampleRate, params.blockSize, params.channel, dbToAmplitude (firstLevel), cancel))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    const auto latency = reportedLatency (plugin);

    const auto levelSweepBin = TrToneSpectrum::snapToOddBin (params.frequencyHz, n, params.sampleRate);
    if (params.vsLevel)
        r.frequencyHz = levelSweepBin * params.sampleRate / n;

    const auto ratio = std::min (0.45 * params.sampleRate, highestHz) / lowestHz;
    std::vector<double> capture;

    for (int m = 0; m < points; ++m)
    {
        const auto position = static_cast<double> (m) / (points - 1);
        const auto level = params.vsLevel ? m * -levelSweepFromDb / (points - 1) + levelSweepFromDb : params.levelDb;
        const auto bin = params.vsLevel ? levelSweepBin
                                        : TrToneSpectrum::snapToOddBin (lowestHz * std::pow (ratio, position), n, params.sampleRate);
        const auto toneHz = bin * params.sampleRate / n;

        const auto settleSeconds = m == 0 ? 1.0 : (params.vsLevel ? 0.5 : 0.25);
        const auto skip = static_cast<int> (settleSeconds * params.sampleRate) + latency;
        const auto amplitude = dbToAmplitude (level);
        const auto step = juce::MathConstants<double>::twoPi * toneHz / params.sampleRate;
        const TrProgress stage { progress, static_cast<float> (m) / points, static_cast<float> (m + 1) / points };

        if (! renderCapture (plugin, params.blockSize, params.channel, skip, n,
                             [=] (long long i) { return amplitude * std::sin (step * static_cast<double> (i)); }, capture,
                             r.error, stage, cancel))
            break;

        appendPoint (r, static_cast<float> (params.vsLevel ? level : toneHz), TrToneSpectrum::magnitudes (capture.data(), n),
                     bin, amplitude, n);
    }

    return r;
}
