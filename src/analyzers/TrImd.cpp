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
const juce::String silentTones = "output tones below -100 dB re stimulus (silent or gated output?)";

juce::String problemWith (const TrImdParams& p)
{
    return TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (p.sampleRate, "sample rate"),
                                          TrParamChecks::fftSize (p.fftSize, "FFT size"),
                                          TrParamChecks::blockSize (p.blockSize, "block size"),
                                          p.ccif ? TrParamChecks::ccifSampleRate (p.sampleRate, "sample rate") : TrParamChecks::smpteSampleRate (p.sampleRate, "sample rate"),
                                          std::isfinite (p.levelDb) ? juce::String() : "level must be a number" });
}

struct TwoTones
{
    int bin1, bin2;
    double amplitude1, amplitude2;
};

TwoTones tonesFor (const TrImdParams& p, int n, double amplitude)
{
    const auto binOf = [&] (double hz) { return std::llround (hz * n / p.sampleRate); };
    const auto b1 = p.ccif ? std::max (1LL, binOf (19000.0)) : std::max (1LL, binOf (60.0));
    const auto b2Wanted = p.ccif ? std::max (b1 + 1, binOf (20000.0)) : binOf (7000.0);
    const auto b2 = b1 < b2Wanted ? std::min (static_cast<long long> (n / 2 - 1), b2Wanted) : b1 + 1;

    return { static_cast<int> (b1), static_cast<int> (b2), (p.ccif ? 0.5 : 0.8) * amplitude,
             (p.ccif ? 0.5 : 0.2) * amplitude };
}

/** The spectrum bin, or 0 when the bin lies outside 1..n/2. */
double binOrZero (const std::vector<double>& x, long long bin)
{
    return bin >= 1 && bin < static_cast<long long> (x.size()) ? x[static_cast<size_t> (bin)] : 0.0;
}
}

TrImdResult TrHarmonicsAnalyzer::runImd (TrPluginSlot& slot, const ImdParams& params, std::atomic<float>* progress,
                                         const TrCancel& cancel)
{
    TrImdResult r;
    r.sampleRate = params.sampleRate;
    r.fftSize = params.fftSize;
    r.levelDb = params.levelDb;
    r.standard = params.ccif ? "CCIF" : "SMPTE";

    if (! beginSlotRecord (slot, params.channel, r, r.channelName))
        return r;

    if ((r.error = problemWith (params)).isNotEmpty())
        return r;

    const auto n = params.fftSize;
    const auto last = n / 2;
    r.binHz = params.sampleRate / n;

    const auto tones = tonesFor (params, n, dbToAmplitude (params.levelDb));
    r.f1Hz = tones.bin1 * r.binHz;
    r.f2Hz = tones.bin2 * r.binHz;

    const juce::ScopedLock sl (slot.lock);
    auto& plugin = *slot.instance;
    if (! resetOnMessageThread (plugin)
        || ! TrSettle::run (plugin, params.sampleRate, params.blockSize, params.channel, dbToAmplitude (params.levelDb), cancel))
    {
        r.error = TrErrorText::aborted;
        return r;
    }
    const auto skip = reportedLatency (plugin) + static_cast<int> (params.sampleRate);

    const auto step1 = juce::MathConstants<double>::twoPi * r.f1Hz / params.sampleRate;
    const auto step2 = juce::MathConstants<double>::twoPi * r.f2Hz / params.sampleRate;
    std::vector<double> capture;

    if (! renderCapture (plugin, params.blockSize, params.channel, skip, n,
                         [=] (long long i) {
                             const auto t = static_cast<double> (i);
                             return tones.amplitude1 * std::sin (step1 * t) + tones.amplitude2 * std::sin (step2 * t);
                         },
                         capture, r.error, { progress, 0.0f, 1.0f }, cancel))
        return r;

    r.latencySamples = reportedLatency (plugin);

    const auto x = TrToneSpectrum::magnitudes (capture.data(), n);
    const long long b1 = tones.bin1, b2 = tones.bin2;

    if (TrToneSpectrum::belowMinus100Db (x[static_cast<size_t> (b1)], tones.amplitude1, n)
        && TrToneSpectrum::belowMinus100Db (x[static_cast<size_t> (b2)], tones.amplitude2, n))
    {
        r.error = silentTones;
        return r;
    }

    const auto t1 = std::max (1e-12, x[static_cast<size_t> (b1)]);
    const auto t2 = std::max (1e-12, x[static_cast<size_t> (b2)]);
    const auto reference = std::max (t1, t2);

    std::vector<long long> products;
    double ratio = 0.0;

    if (params.ccif)
    {
        const auto d2 = binOrZero (x, b2 - b1) / (t1 + t2);
        const auto d3 = std::hypot (binOrZero (x, 2 * b1 - b2), binOrZero (x, 2 * b2 - b1)) / (t1 + t2);
        ratio = std::hypot (d2, d3);
        r.d2Db = amplitudeDb (d2);
        r.d3Db = amplitudeDb (d3);
        products = { b2 - b1, 2 * b1 - b2, 2 * b2 - b1 };
    }
    else
    {
        double sidebandPower = 0.0;
        for (long long k = 1; k <= 4; ++k)
        {
            const auto lower = b2 - k * b1, upper = b2 + k * b1;
            if (lower > 0 && lower < last && lower != b1)
                products.push_back (lower);
            if (upper < last)
                products.push_back (upper);
        }

        for (auto p : products)
            sidebandPower += x[static_cast<size_t> (p)] * x[static_cast<size_t> (p)];

        ratio = std::sqrt (sidebandPower) / t2;
    }

    r.imdDb = amplitudeDb (ratio);
    r.imdPercent = 100.0 * ratio;

    std::vector<bool> flagged (x.size(), false);
    for (auto bin : { 0LL, b1, b2 })
        flagged[static_cast<size_t> (bin)] = true;
    for (auto p : products)
        if (p >= 1 && p <= last)
            flagged[static_cast<size_t> (p)] = true;

    std::vector<double> floor;
    for (int j = 1; j <= last; ++j)
        if (! flagged[static_cast<size_t> (j)])
            floor.push_back (x[static_cast<size_t> (j)]);

    if (! floor.empty())
        r.noiseFloorDb = amplitudeDb (TrToneSpectrum::median (floor), reference);

    r.spectrumDb.resize (x.size());
    for (size_t k = 0; k < x.size(); ++k)
        r.spectrumDb[k] = static_cast<float> (amplitudeDb (x[k], reference));

    return r;
}
