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

constexpr int spurWindowMinBins = 96;

juce::String problemWith (const TrHarmonicsParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::fftSize (p.fftSize, "FFT size"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          std::isfinite (p.frequencyHz) ? juce::String() : "frequency must be a number",
                                          std::isfinite (p.levelDb) ? juce::String() : "level must be a number" });
}

/** Fills the first block's figures; false when the output is silent. */
bool analyseFirstBlock (const std::vector<double>& x, int bin, double amplitude, int n, TrHarmonicsResult& r)
{
    const auto fundamental = std::max (1e-12, x[static_cast<size_t> (bin)]);
    if (TrToneSpectrum::belowMinus100Db (fundamental, amplitude, n))
    {
        r.error = silentOutput;
        return false;
    }

    const auto last = n / 2;
    const auto exclusion = TrToneSpectrum::exclusionHalfWidth (bin);
    const auto harmonicBelowNyquist = 2 * bin <= last;

    double spur = 0.0;
    std::vector<double> noise;
    for (int j = 1; j <= last; ++j)
    {
        const auto isHarmonic = j % bin == 0;
        if (! isHarmonic && TrToneSpectrum::awayFromHarmonics (j, bin, exclusion))
        {
            noise.push_back (x[static_cast<size_t> (j)]);
            if (x[static_cast<size_t> (j)] > spur)
            {
                spur = x[static_cast<size_t> (j)];
                r.aliasPeakBin = j;
            }
        }
    }

    r.thdDb = harmonicBelowNyquist ? powerDb (TrToneSpectrum::harmonicPower (x, bin), fundamental) : NAN;
    r.thdPercent = harmonicBelowNyquist ? 100.0 * std::pow (10.0, r.thdDb / 20.0) : NAN;
    r.thdnDb = powerDb (TrToneSpectrum::powerBesides (x, bin), fundamental);
    r.aliasPeakDb = amplitudeDb (spur, fundamental);
    r.dcDb = amplitudeDb (x[0], fundamental);

    if (! noise.empty())
        r.noiseFloorDb = amplitudeDb (TrToneSpectrum::median (noise), fundamental);

    if (r.aliasPeakBin > 0)
    {
        const auto window = std::max (spurWindowMinBins, 4 * exclusion);
        const auto gap = std::max (4, exclusion / 2);
        std::vector<double> neighbourhood;

        for (int j = std::max (1, r.aliasPeakBin - window); j <= std::min (last, r.aliasPeakBin + window); ++j)
            if (std::abs (j - r.aliasPeakBin) > gap && TrToneSpectrum::awayFromHarmonics (j, bin, exclusion))
                neighbourhood.push_back (x[static_cast<size_t> (j)]);

        if (! neighbourhood.empty())
            r.aliasProminenceDb = amplitudeDb (spur, std::max (1e-12, TrToneSpectrum::median (neighbourhood)));
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
    r.timeVariant = levelChange > 0.25 || noiseChange > 3.0;
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
    if (! TrSettle::afterReset (plugin, params.sampleRate, params.blockSize, params.channel, amplitude, cancel))
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
    if (! analyseFirstBlock (first, r.bin, amplitude, n, r))
        return r;

    r.truePeakDb = amplitudeDb (oversampledPeak (std::vector<double> (capture.begin(), capture.begin() + n)));
    repeatTest (TrToneSpectrum::magnitudes (capture.data() + n, n), r.bin, r, std::max (1e-12, first[static_cast<size_t> (r.bin)]));
    return r;
}
