#include "TrLiveFrames.h"

#include "dsp/TrLoudness.h"
#include "dsp/TrMiniFft.h"
#include "results/TrErrorTexts.h"
#include "verdicts/TrVerdict.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
constexpr double twoPi = 6.283185307179586476925286766559;

double db20 (double v, double floor)
{
    return 20.0 * std::log10 (std::max (floor, v));
}

template <typename Record>
void stamp (Record& r, const TrLiveStream& stream, int slot, const TrLiveSettings& settings)
{
    r.slotIndex = slot;
    r.pluginName = stream.pluginName;
    r.sampleRate = settings.sampleRate;
    r.channelName = channelModeName (settings.channel);
}
}

std::optional<TrHarmonicsResult> TrLiveFrames::harmonics (const TrLiveStream& stream, int slot, const TrLiveSettings& settings, int bin)
{
    constexpr int n = 16384, half = n / 2;
    const auto rate = settings.sampleRate;
    if (stream.totalSamples < stream.latency + static_cast<std::int64_t> (rate / 4.0) + n)
        return std::nullopt;

    std::vector<double> window;
    if (! stream.last (n, 0, window))
        return std::nullopt;
    auto mag = minifft::magnitudeReal (window);
    mag.front() *= 0.5;
    mag.back() *= 0.5;

    // The tone sits on its bin, so no window function is needed.
    const auto level = std::pow (10.0, settings.levelDb / 20.0);
    const auto fundamental = std::max (1e-12, mag[static_cast<size_t> (bin)]);
    if (fundamental < level * half * 1e-5)
        return std::nullopt;

    double harmonicPower = 0.0;
    auto harmonicsBelowNyquist = 0;
    for (int m = 2; m <= 10 && m * bin <= half; ++m, ++harmonicsBelowNyquist)
        harmonicPower += mag[static_cast<size_t> (m * bin)] * mag[static_cast<size_t> (m * bin)];

    double thdnPower = 0.0, aliasPeak = 0.0;
    auto aliasBin = 0;
    std::vector<double> others;
    for (int k = 1; k <= half; ++k)
    {
        const auto m = mag[static_cast<size_t> (k)];
        if (k != bin)
            thdnPower += m * m;
        if (k % bin != 0)
        {
            others.push_back (m);
            if (m > aliasPeak)
            {
                aliasPeak = m;
                aliasBin = k;
            }
        }
    }
    auto median = 0.0;
    if (! others.empty())
    {
        std::nth_element (others.begin(), others.begin() + static_cast<std::ptrdiff_t> (others.size() / 2), others.end());
        median = others[others.size() / 2];
    }

    TrHarmonicsResult r;
    stamp (r, stream, slot, settings);
    r.frequencyHz = bin * rate / n;
    r.levelDb = settings.levelDb;
    r.fftSize = n;
    r.bin = bin;
    r.spectrumDb.reserve (mag.size());
    for (auto m : mag)
        r.spectrumDb.push_back (static_cast<float> (db20 (m, 1e-12) - 20.0 * std::log10 (fundamental)));
    r.binHz = rate / n;
    const auto f2 = fundamental * fundamental;
    // Without a harmonic below Nyquist there is nothing to measure, as offline.
    r.thdDb = harmonicsBelowNyquist > 0 ? 10.0 * std::log10 (std::max (1e-24, harmonicPower) / f2) : std::nan ("");
    r.thdPercent = harmonicsBelowNyquist > 0 ? 100.0 * std::pow (10.0, r.thdDb / 20.0) : 0.0;
    r.thdnDb = 10.0 * std::log10 (std::max (1e-24, thdnPower) / f2);
    r.aliasPeakDb = db20 (aliasPeak / fundamental, 1e-12 / fundamental);
    r.aliasPeakBin = aliasBin;
    r.aliasProminenceDb = 0.0;
    r.dcDb = db20 (mag.front(), 1e-12) - 20.0 * std::log10 (fundamental);
    r.noiseFloorDb = db20 (median, 1e-12) - 20.0 * std::log10 (fundamental);
    r.truePeakDb = TrSentinel::notMeasuredDb;
    r.cpuNsPerSample = stream.cpuSamples > 0 ? static_cast<double> (stream.cpuTicks) / static_cast<double> (juce::Time::getHighResolutionTicksPerSecond()) * 1e9
                                                   / static_cast<double> (stream.cpuSamples)
                                             : 0.0;
    r.latencySamples = stream.latency;
    r.repeatDeltaDb = TrSentinel::notMeasured;
    r.timeVariant = false;
    return r;
}

std::optional<TrCurveResult> TrLiveFrames::curve (TrLiveStream& stream, int slot, const TrLiveSettings& settings,
                                                  const TrLiveStimulus::Multisine& multisine)
{
    constexpr int n = TrLiveStimulus::Multisine::period, half = n / 2, bands = 1024;
    const auto rate = settings.sampleRate;
    if (multisine.samples.empty() || stream.totalSamples < stream.latency + static_cast<std::int64_t> (0.15 * rate) + n)
        return std::nullopt;

    std::vector<double> window;
    if (! stream.last (n, 0, window))
        return std::nullopt;
    const auto y = minifft::realSpectrum (window, n);

    // The window began d samples into a period of the stimulus.
    const auto d = static_cast<double> (stream.totalSamples % n);
    stream.curvePower.assign (half + 1, 0.0);
    stream.curveCross.assign (half + 1, {});
    for (int k = 0; k <= half; ++k)
    {
        const auto x = multisine.spectrum[static_cast<size_t> (k)] * std::polar (1.0, twoPi * k * d / n);
        const auto yk = y[static_cast<size_t> (k)];
        const auto finite = std::isfinite (yk.real()) && std::isfinite (yk.imag());
        stream.curvePower[static_cast<size_t> (k)] = finite ? std::norm (yk) : std::numeric_limits<double>::infinity();
        stream.curveCross[static_cast<size_t> (k)] = yk * std::conj (x);
    }
    stream.curveReady = true;

    // The delay: the peak of the impulse response, refined by a parabola through its neighbours.
    const auto impulse = minifft::inverseRealSpectrum (stream.curveCross, n);
    auto k0 = 0;
    for (int k = 1; k < n; ++k)
        if (std::abs (impulse[static_cast<size_t> (k)]) > std::abs (impulse[static_cast<size_t> (k0)]))
            k0 = k;
    const auto ym = std::abs (impulse[static_cast<size_t> ((k0 + n - 1) % n)]);
    const auto y0 = std::abs (impulse[static_cast<size_t> (k0)]);
    const auto yp = std::abs (impulse[static_cast<size_t> ((k0 + 1) % n)]);
    const auto den = ym - 2.0 * y0 + yp;
    const auto delta = std::abs (den) > 1e-12 ? std::clamp (0.5 * (ym - yp) / den, -0.5, 0.5) : 0.0;
    auto delay = k0 + delta;
    // The period hides whole multiples of itself: the reported latency says which one is meant.
    delay += n * std::round ((stream.latency - delay) / n);

    const auto binHz = rate / n;
    const auto peakMag = *std::max_element (multisine.magnitude.begin(), multisine.magnitude.end());
    const auto e2 = (1e-4 * peakMag) * (1e-4 * peakMag);
    std::vector<std::complex<double>> h (half + 1);
    for (int k = 0; k <= half; ++k)
        h[static_cast<size_t> (k)] = stream.curveCross[static_cast<size_t> (k)] * std::polar (1.0, twoPi * k * delay / n)
                                     / (std::norm (multisine.spectrum[static_cast<size_t> (k)]) + e2);

    // Bands evenly in log frequency; the lowest starts above the first bin and a half, so that the
    // lowest bands are not all one bin at high rates.
    const auto start = std::max (20.0, 1.5 * binHz);
    const auto span = std::log10 (0.49 * rate) - std::log10 (start);
    TrCurveResult r;
    stamp (r, stream, slot, settings);
    r.levelDb = settings.levelDb;
    std::vector<double> phase;
    for (int i = 0; i < bands; ++i)
    {
        const auto fLo = std::pow (10.0, std::log10 (start) + i * span / bands);
        const auto fHi = std::pow (10.0, std::log10 (start) + (i + 1) * span / bands);
        const auto centre = std::sqrt (fLo * fHi);
        const auto lo = std::max (1, static_cast<int> (std::lround (fLo / binHz)));
        const auto hi = std::clamp (static_cast<int> (std::lround (fHi / binHz)), 1, half - 1);
        double magnitude = 0.0;
        std::complex<double> sum;
        if (lo < hi)
        {
            double power = 0.0;
            for (int k = lo; k <= hi; ++k)
            {
                power += std::norm (h[static_cast<size_t> (k)]);
                sum += h[static_cast<size_t> (k)];
            }
            magnitude = std::sqrt (power / (hi - lo + 1));
        }
        else
        {
            const auto q = std::clamp (centre / binHz, 1.0, static_cast<double> (half - 2));
            const auto k = static_cast<int> (std::floor (q));
            const auto w = q - k;
            const auto& h0 = h[static_cast<size_t> (k)];
            const auto& h1 = h[static_cast<size_t> (k + 1)];
            magnitude = std::sqrt ((1.0 - w) * std::norm (h0) + w * std::norm (h1));
            sum = (1.0 - w) * h0 + w * h1;
        }
        r.freqHz.push_back (static_cast<float> (centre));
        r.magDb.push_back (static_cast<float> (db20 (magnitude, 1e-9)));
        phase.push_back (std::arg (sum));
    }
    for (size_t i = 1; i < phase.size(); ++i)
    {
        while (phase[i] - phase[i - 1] > juce::MathConstants<double>::pi)
            phase[i] -= twoPi;
        while (phase[i] - phase[i - 1] < -juce::MathConstants<double>::pi)
            phase[i] += twoPi;
    }
    for (auto p : phase)
        r.phaseDeg.push_back (static_cast<float> (p * 180.0 / juce::MathConstants<double>::pi));

    // About a twelfth of an octave.
    const auto halfWidth = std::clamp (static_cast<int> (std::lround (bands / std::max (1e-9, span / std::log10 (2.0)) / 12.0 * 0.5)), 1, 512);
    for (int i = 0; i < bands; ++i)
    {
        const auto from = std::max (0, i - halfWidth), to = std::min (bands - 1, i + halfWidth);
        double sum = 0.0;
        for (int j = from; j <= to; ++j)
            sum += std::pow (10.0, r.magDb[static_cast<size_t> (j)] / 10.0);
        r.magSmoothedDb.push_back (static_cast<float> (10.0 * std::log10 (std::max (1e-30, sum / (to - from + 1)))));
    }

    r.measuredLatency = delay;
    r.arrivalEarliest = r.arrivalLatest = delay;
    // One frame shows no steadiness: a delay is judged once two frames in a row agree on it,
    // and a plugin whose delay wanders (a pitch shifter, modulation) is not accused of lying.
    r.latencyUnclear = ! (std::abs (delay - stream.curveDelay) <= 1.0);
    stream.curveDelay = delay;
    // As offline: a response 100 dB under the stimulus everywhere is no response.
    if (std::none_of (r.magDb.begin(), r.magDb.end(), [] (float db) { return db > -100.0f; }))
        r.error = TrErrorText::silentOutput;
    r.reportedLatency = stream.latency;
    auto nearest = 0;
    for (int i = 1; i < bands; ++i)
        if (std::abs (r.freqHz[static_cast<size_t> (i)] - 1000.0) < std::abs (r.freqHz[static_cast<size_t> (nearest)] - 1000.0))
            nearest = i;
    r.gainAt1kDb = r.magDb[static_cast<size_t> (nearest)];
    return r;
}

std::optional<TrScopeResult> TrLiveFrames::scope (const TrLiveStream& stream, int slot, const TrLiveSettings& settings, int period)
{
    const auto rate = settings.sampleRate;
    const auto length = 4 * period;
    if (TrLiveStream::ringSize <= length + 512 || stream.totalSamples < length + static_cast<std::int64_t> (rate / 4.0) + stream.latency)
        return std::nullopt;

    // The window starts where the stimulus that produced it was at phase zero.
    const auto s0 = stream.totalSamples - length - stream.latency;
    const auto r0 = static_cast<int> (((s0 % period) + period) % period);
    if (length + r0 > TrLiveStream::ringSize - 512)
        return std::nullopt;
    std::vector<double> out;
    if (! stream.last (length, r0, out))
        return std::nullopt;

    const auto a = std::pow (10.0, settings.levelDb / 20.0);
    TrScopeResult r;
    stamp (r, stream, slot, settings);
    double peak = 0.0, squares = 0.0;
    for (int i = 0; i < length; ++i)
    {
        r.timeMs.push_back (static_cast<float> (i * 1000.0 / rate));
        r.inputWave.push_back (static_cast<float> (a * std::sin (twoPi * (i % period) / period)));
        const auto v = out[static_cast<size_t> (i)];
        r.outputWave.push_back (static_cast<float> (v));
        peak = std::max (peak, std::abs (v));
        squares += v * v;
    }
    r.frequencyHz = rate / period;
    r.inputPeakDb = db20 (a, 1e-9);
    r.outputPeakDb = db20 (peak, 1e-9);
    r.outputRmsDb = 10.0 * std::log10 (std::max (1e-18, squares / length));
    r.latencySamples = stream.latency;
    return r;
}

namespace
{
constexpr double dynamicsBinDb = 0.75;

int dynamicsBins (const TrLiveSettings& s)
{
    // A sweep whose low end is not below its high end still has its one level.
    return std::max (1, static_cast<int> ((s.sweepHighDb - s.sweepLowDb) / dynamicsBinDb) + 1);
}
}

void TrLiveFrames::trackDynamics (TrLiveStream& stream, const float* block, int count, const TrLiveSettings& settings)
{
    const auto rate = settings.sampleRate;
    const auto first = stream.totalSamples - count; // the stream position of block[0]
    if (stream.totalSamples <= stream.latency + static_cast<std::int64_t> (rate / 2.0))
        return;

    const auto bins = dynamicsBins (settings);
    if (static_cast<int> (stream.dynOutDb.size()) != bins)
    {
        stream.dynOutDb.assign (static_cast<size_t> (bins), 0.0f);
        stream.dynSeen.assign (static_cast<size_t> (bins), 0.0f);
    }

    const auto windowLength = static_cast<int> (rate / 1000.0) * 2;
    const auto cycle = static_cast<std::int64_t> (4.0 * rate);
    const auto range = settings.sweepHighDb - settings.sweepLowDb;
    for (int i = 0; i < count; ++i)
    {
        if (std::isfinite (block[i]))
            stream.dynWindowPeak = std::max (stream.dynWindowPeak, std::abs (block[i]));
        if (++stream.dynWindowCount < windowLength)
            continue;

        const auto t = first + i - windowLength / 2 - stream.latency;
        if (t >= 0)
        {
            const auto p = static_cast<double> (t % cycle) / static_cast<double> (cycle);
            const auto tri = p < 0.5 ? 2.0 * p : 2.0 - 2.0 * p;
            const auto input = settings.sweepLowDb + tri * range;
            const auto output = static_cast<float> (db20 (stream.dynWindowPeak, 1e-9));
            const auto bin = static_cast<size_t> (std::clamp (static_cast<int> (std::lround ((input - settings.sweepLowDb) / dynamicsBinDb)), 0, bins - 1));
            stream.dynOutDb[bin] = stream.dynSeen[bin] > 0.0f ? 0.12f * output + 0.88f * stream.dynOutDb[bin] : output;
            stream.dynSeen[bin] = 1.0f;
        }
        stream.dynWindowPeak = 0.0f;
        stream.dynWindowCount = 0;
    }
}

std::optional<TrDynamicsResult> TrLiveFrames::dynamics (const TrLiveStream& stream, int slot, const TrLiveSettings& settings)
{
    if (stream.dynOutDb.empty())
        return std::nullopt;

    TrDynamicsResult r;
    stamp (r, stream, slot, settings);
    const auto bins = static_cast<int> (stream.dynOutDb.size());
    std::vector<double> in, out;
    for (int i = 0; i < bins; ++i)
    {
        if (stream.dynSeen[static_cast<size_t> (i)] <= 0.0f)
            continue;
        // Smoothed over the neighbours only when both were seen: one-sided, the mean would lean
        // towards the next level and tilt the ends of the curve (and the make-up read from them).
        const auto seenAt = [&stream, bins] (int j) { return j >= 0 && j < bins && stream.dynSeen[static_cast<size_t> (j)] > 0.0f; };
        const auto value = [&stream] (int j) { return static_cast<double> (stream.dynOutDb[static_cast<size_t> (j)]); };
        in.push_back (settings.sweepLowDb + dynamicsBinDb * i);
        out.push_back (seenAt (i - 1) && seenAt (i + 1) ? (value (i - 1) + value (i) + value (i + 1)) / 3.0 : value (i));
    }
    for (size_t i = 0; i < in.size(); ++i)
    {
        r.inDb.push_back (static_cast<float> (in[i]));
        r.outDb.push_back (static_cast<float> (out[i]));
    }

    const auto n = static_cast<int> (in.size());
    if (n >= 8)
    {
        r.makeupDb = out[0] - in[0];
        std::vector<double> g;
        for (int i = 0; i < n; ++i)
            g.push_back (out[static_cast<size_t> (i)] - in[static_cast<size_t> (i)] - r.makeupDb);

        auto idx = n - 1;
        for (int i = 0; i < n; ++i)
            if (g[static_cast<size_t> (i)] < -1.0)
            {
                idx = i;
                break;
            }
        const auto at = [] (const std::vector<double>& v, int i) { return v[static_cast<size_t> (i)]; };
        auto threshold = at (in, idx);
        if (idx > 0 && at (g, idx) < at (g, idx - 1) - 1e-9)
            threshold = at (in, idx - 1) + (at (in, idx) - at (in, idx - 1)) * (-1.0 - at (g, idx - 1)) / (at (g, idx) - at (g, idx - 1));

        const auto k = std::max (idx, n - 17);
        auto slope = 1.0;
        if (at (in, n - 1) > at (in, k))
            slope = std::max (0.001, (at (out, n - 1) - at (out, k)) / (at (in, n - 1) - at (in, k)));
        r.ratio = std::clamp (1.0 / slope, 0.1, 1000.0);
        if (r.ratio > 1.05)
            threshold -= std::min (r.ratio / (r.ratio - 1.0), 6.0);

        auto end = n - 2;
        for (int i = idx; i < n - 1; ++i)
            if ((at (out, i + 1) - at (out, i)) / dynamicsBinDb <= slope + 0.05)
            {
                end = i;
                break;
            }
        r.kneeDb = std::max (0.0, at (in, std::max (0, end)) - threshold);
        r.thresholdDb = threshold;
        r.shape = r.ratio > 1.05 ? "compressor" : "linear";
    }
    r.latencySamples = stream.latency;
    return r;
}

namespace
{
/** Mean square over samples 1024.. of the K-weighted window, as loudness. */
double windowLoudness (const std::vector<double>& x, double rate)
{
    const auto weighted = kWeighted (x, rate);
    double sum = 0.0;
    for (size_t i = 1024; i < weighted.size(); ++i)
        sum += weighted[i] * weighted[i];
    return -0.691 + 10.0 * std::log10 (std::max (1e-12, sum / static_cast<double> (weighted.size() - 1024)));
}

std::vector<double> hannPower (const std::vector<double>& x)
{
    const auto n = x.size();
    std::vector<double> windowed (n);
    for (size_t i = 0; i < n; ++i)
        windowed[i] = x[i] * 0.5 * (1.0 - std::cos (twoPi * static_cast<double> (i) / static_cast<double> (n - 1)));
    auto mag = minifft::magnitudeReal (windowed);
    mag.front() *= 0.5;
    mag.back() *= 0.5;
    for (auto& m : mag)
        m *= m;
    return mag;
}

void smoothInto (std::vector<double>& memory, const std::vector<double>& fresh, bool valid)
{
    if (! valid || memory.size() != fresh.size())
    {
        memory = fresh;
        return;
    }
    for (size_t i = 0; i < fresh.size(); ++i)
        memory[i] = 0.88 * memory[i] + 0.12 * fresh[i];
}
}

std::optional<TrNullResult> TrLiveFrames::null (const TrLiveStream& a, const TrLiveStream& b, const TrLiveSettings& settings,
                                                bool loopedFile, NullMemory& memory)
{
    constexpr int n = 8192, slack = 8704;
    const auto rate = settings.sampleRate;
    auto delayA = std::max (0, b.latency - a.latency);
    auto delayB = std::max (0, a.latency - b.latency);

    TrNullResult r;
    r.nameA = a.pluginName;
    r.nameB = b.pluginName;
    r.signalName = loopedFile ? "looped file (live)" : "pink noise (live)";
    r.sampleRate = rate;
    r.latencyDeltaSamples = b.latency - a.latency;
    r.channelName = channelModeName (settings.channel);
    if (std::max (delayA, delayB) + slack >= TrLiveStream::ringSize)
    {
        r.error = latencyTooFarApart;
        return r;
    }

    const auto needed = static_cast<std::int64_t> (0.2 * rate) + std::max (a.latency, b.latency) + n;
    if (a.totalSamples < needed || b.totalSamples < needed)
        return std::nullopt;

    std::vector<double> wa, wb;
    if (! a.last (n, delayA, wa) || ! b.last (n, delayB, wb))
        return std::nullopt;

    // Fine alignment: the correlation peaks at -d when B arrives d samples after A.
    const auto correlation = minifft::crossCorrelation (wb, wa, n);
    auto k = 0;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
    {
        sum += std::abs (correlation[static_cast<size_t> (i)]);
        if (std::abs (correlation[static_cast<size_t> (i)]) > std::abs (correlation[static_cast<size_t> (k)]))
            k = i;
    }
    const auto lag = k <= n / 2 ? k : k - n;
    if (lag != 0 && std::abs (lag) <= 2048 && std::abs (correlation[static_cast<size_t> (k)]) > 8.0 * sum / n)
    {
        const auto shiftedA = delayA + std::max (0, -lag), shiftedB = delayB + std::max (0, lag);
        if (std::max (shiftedA, shiftedB) + slack < TrLiveStream::ringSize)
        {
            if (! a.last (n, shiftedA, wa) || ! b.last (n, shiftedB, wb))
                return std::nullopt;
            // B later than A by d gives lag -d: the delay difference grows by d.
            r.latencyDeltaSamples = (b.latency - a.latency) - lag;
        }
    }

    r.lufsA = windowLoudness (wa, rate);
    r.lufsB = windowLoudness (wb, rate);
    auto gainDb = r.lufsA - r.lufsB;
    if (memory.gainValid)
        gainDb = 0.3 * gainDb + 0.7 * memory.gainDb;
    memory.gainDb = gainDb;
    memory.gainValid = true;
    r.matchGainDb = gainDb;
    const auto g = std::pow (10.0, gainDb / 20.0);

    std::vector<double> matchedB (n), residual (n);
    double residualEnergy = 0.0, energyA = 0.0, peak = 0.0;
    for (size_t i = 0; i < static_cast<size_t> (n); ++i)
    {
        matchedB[i] = g * wb[i];
        residual[i] = wa[i] - matchedB[i];
        residualEnergy += residual[i] * residual[i];
        energyA += wa[i] * wa[i];
        peak = std::max (peak, std::abs (residual[i]));
    }
    r.nullDepthDb = 10.0 * std::log10 (std::max (1e-20, residualEnergy) / std::max (1e-20, energyA));
    r.diffPeakDbfs = db20 (peak, 1e-10);
    r.verdictText = TrVerdict::forNull (r).text; // as offline

    smoothInto (memory.powerA, hannPower (wa), memory.spectraValid);
    smoothInto (memory.powerB, hannPower (matchedB), memory.spectraValid);
    smoothInto (memory.powerDiff, hannPower (residual), memory.spectraValid);
    memory.spectraValid = true;

    const auto binHz = rate / n;
    const auto span = std::log10 (0.49 * rate) - std::log10 (20.0);
    for (int i = 0; i < 1024; ++i)
    {
        const auto f = std::pow (10.0, std::log10 (20.0) + i * span / 1023.0);
        const auto bin = static_cast<size_t> (std::clamp (static_cast<int> (std::lround (f / binHz)), 1, n / 2));
        const auto level = [bin] (const std::vector<double>& power) { return static_cast<float> (db20 (std::sqrt (power[bin]) / 2048.0, 1e-10)); };
        r.freqHz.push_back (static_cast<float> (f));
        r.specADb.push_back (level (memory.powerA));
        r.specBDb.push_back (level (memory.powerB));
        r.specDiffDb.push_back (level (memory.powerDiff));
    }
    return r;
}
