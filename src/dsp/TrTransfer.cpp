#include "TrTransfer.h"

#include "TrMiniFft.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TrTransfer
{
namespace
{
constexpr double clearShare = 0.1;
constexpr double firstArrivalShare = 0.5; // of the strongest peak: an earlier one that strong comes first
constexpr double invertedMajority = 2.0 / 3.0;
constexpr double passbandShare = 0.5;   // -6 dB of the largest magnitude
constexpr double audibleLowHz = 20.0, audibleHighHz = 20000.0;
const double bandRatio = std::pow (2.0, 1.0 / 6.0);
constexpr int spreadBeforeSamples = 64;
constexpr double spreadAfterSeconds = 0.025;
constexpr double spreadShare = 0.5;
constexpr double minimumPhaseFloor = 1e-6; // below this a capture's stop band is mostly noise
constexpr int noiseGroupBins = 8;
constexpr double noiseBelowPeak = 1e-4; // -80 dB: anything louder is response, not noise
constexpr double noiseMargin = 100.0;   // 40 dB over the quietest stretch the response stands clear of it
constexpr double passbandBelowPeakDb = 20.0;
constexpr double linearDeviationRadians = 10.0 * 3.14159265358979323846 / 180.0;

/** Offset of the true peak from the middle of three neighbouring magnitudes, within +-0.5. */
double parabolicOffset (double before, double peak, double after)
{
    const auto curvature = before - 2.0 * peak + after;
    if (std::abs (curvature) <= 1e-12)
        return 0.0;

    return std::clamp (0.5 * (before - after) / curvature, -0.5, 0.5);
}

int strongest (const std::vector<double>& x, int from, int to)
{
    int best = from;
    for (int i = from + 1; i <= to; ++i)
        if (std::abs (x[static_cast<size_t> (i)]) > std::abs (x[static_cast<size_t> (best)]))
            best = i;

    return best;
}

double refined (const std::vector<double>& x, int peak)
{
    const auto n = static_cast<int> (x.size());
    const auto at = [&] (int i) { return std::abs (x[static_cast<size_t> ((i + n) % n)]); };
    return peak + parabolicOffset (at (peak - 1), at (peak), at (peak + 1));
}

/** The earliest local peak of |x| within lags 0..reach at least half as strong as the strongest
    there: where the response starts when several arrivals follow one another. */
int firstArrival (const std::vector<double>& x, int reach)
{
    const auto n = static_cast<int> (x.size());
    const auto at = [&] (int i) { return std::abs (x[static_cast<size_t> (((i % n) + n) % n)]); };
    const auto strongestInReach = at (strongest (x, 0, reach));

    for (int i = 0; i <= reach; ++i)
        if (at (i) >= firstArrivalShare * strongestInReach && at (i) >= at (i - 1) && at (i) >= at (i + 1))
            return i;

    return strongest (x, 0, reach);
}

/** How much of the audible passband, counted per octave, points the other way: the phase left
    once the delay and the minimum-phase part are taken out, averaged as a phasor over sixth
    octaves weighted by |H|^2 (so that the distortion and noise a plugin adds to its response
    average out), lying beyond 90 degrees. */
double flippedShare (const Spectrum& transfer, const std::vector<double>& minimum, int n, double sampleRate, double delay, bool linear)
{
    double largest = 0.0;
    for (const auto& h : transfer)
        largest = std::max (largest, std::abs (h));

    const auto twoPi = 2.0 * 3.14159265358979323846;
    const auto top = std::min (audibleHighHz, 0.45 * sampleRate);
    int flipped = 0, counted = 0;
    for (auto low = audibleLowHz; low < top; low *= bandRatio)
    {
        const auto from = std::max (1, static_cast<int> (std::ceil (low * n / sampleRate)));
        const auto to = std::min (n / 2 - 1, static_cast<int> (std::min (low * bandRatio, top) * n / sampleRate));
        std::complex<double> sum;
        bool passes = false;
        for (int k = from; k <= to; ++k)
        {
            const auto& h = transfer[static_cast<size_t> (k)];
            const auto magnitude = std::abs (h);
            passes = passes || magnitude >= passbandShare * largest;
            const auto excess = std::arg (h) + twoPi * k * delay / n - (linear ? 0.0 : minimum[static_cast<size_t> (k)]);
            sum += magnitude * magnitude * std::polar (1.0, excess);
        }

        if (! passes)
            continue;
        ++counted;
        if (sum.real() < 0.0)
            ++flipped;
    }

    return counted > 0 ? static_cast<double> (flipped) / counted : 0.0;
}

/** The earliest and latest group delay of the excess phase over the passband, per sixth octave
    (|H|^2 weighted), in samples: both the delay for a delay in front of a minimum-phase filter;
    an all-pass remainder spreads them apart, from the delay in front of it (where the all-pass
    has none left) to its slowest band. */
std::pair<double, double> groupDelayRange (const Spectrum& transfer, const std::vector<double>& minimum, int n, double sampleRate)
{
    double largest = 0.0;
    for (const auto& h : transfer)
        largest = std::max (largest, std::abs (h));

    const auto twoPi = 2.0 * 3.14159265358979323846;
    const auto excess = [&] (int k) { return std::arg (transfer[static_cast<size_t> (k)]) - minimum[static_cast<size_t> (k)]; };
    const auto top = std::min (audibleHighHz, 0.45 * sampleRate);
    auto earliest = std::numeric_limits<double>::max(), latest = std::numeric_limits<double>::lowest();
    for (auto low = audibleLowHz; low < top; low *= bandRatio)
    {
        const auto from = std::max (1, static_cast<int> (std::ceil (low * n / sampleRate)));
        const auto to = std::min (n / 2 - 2, static_cast<int> (std::min (low * bandRatio, top) * n / sampleRate));
        double delaySum = 0.0, weightSum = 0.0;
        for (int k = from; k <= to; ++k)
        {
            const auto magnitude = std::abs (transfer[static_cast<size_t> (k)]);
            if (magnitude < passbandShare * largest)
                continue;
            const auto step = std::remainder (excess (k + 1) - excess (k), twoPi);
            delaySum += magnitude * magnitude * -step * n / twoPi;
            weightSum += magnitude * magnitude;
        }

        if (weightSum > 0.0)
        {
            earliest = std::min (earliest, delaySum / weightSum);
            latest = std::max (latest, delaySum / weightSum);
        }
    }

    return { earliest, latest };
}

/** Where bin k of an n-point transform lies on the frequency axis of a digital filter's
    asymptotes: ln tan(pi k / n), along which a bilinear-mapped roll-off is a straight line that
    reaches its zeros at Nyquist. */
double warped (int k, int n)
{
    return std::log (std::tan (3.14159265358979323846 * std::clamp (k, 1, n / 2 - 1) / n));
}

/** A straight line through ln|H| against the warped frequency over bins from..to, by least
    squares: the roll-off a tail continues with, and the level it reaches at bin `at` (no one
    bin's noise sets where the tail starts). */
struct RollOff
{
    double slope = 0.0, level = 0.0;
};

RollOff rollOff (const Spectrum& transfer, int n, int from, int to, int at)
{
    double count = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (int k = std::max (1, from); k <= to; ++k)
    {
        const auto x = warped (k, n);
        const auto y = std::log (std::max (std::abs (transfer[static_cast<size_t> (k)]), 1e-300));
        count += 1.0;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }

    const auto spread = count * sxx - sx * sx;
    const auto slope = spread > 0.0 ? (count * sxy - sx * sy) / spread : 0.0;
    return { slope, count > 0.0 ? (sy + slope * (count * warped (at, n) - sx)) / count : 0.0 };
}

/** The level a capture's stop band flattens out at when it sinks into the noise: the quietest
    stretch of the spectrum, in groups of bins wide enough to average the noise, or 0 when even
    that stretch lies too near the passband to be noise. */
double noiseLevel (const Spectrum& transfer, double largest)
{
    const auto bins = static_cast<int> (transfer.size());
    auto quietest = largest;
    for (int from = 1; from < bins;)
    {
        const auto to = std::min (bins, from + std::max (noiseGroupBins, static_cast<int> (from * (bandRatio - 1.0))));
        double power = 0.0;
        for (int k = from; k < to; ++k)
            power += std::norm (transfer[static_cast<size_t> (k)]);
        if (to - from >= noiseGroupBins)
            quietest = std::min (quietest, std::sqrt (power / (to - from)));
        from = to;
    }

    return quietest < noiseBelowPeak * largest ? quietest : 0.0;
}

/** A stop band that sinks below the floor and stays there to Nyquist (or to DC) goes on falling
    at the rate it reached the floor with. Held flat at the floor, it would bend the minimum phase
    of the passband as if there were a delay: a steep low-pass would seem to arrive late. */
void continueTails (Spectrum& logMagnitude, const Spectrum& transfer, int n, double floorLevel)
{
    const auto last = static_cast<int> (transfer.size()) - 1;
    const auto above = [&] (int k) { return std::abs (transfer[static_cast<size_t> (k)]) >= floorLevel; };

    auto top = last;
    while (top > 0 && ! above (top))
        --top;
    auto bottom = 1;
    while (bottom < last && ! above (bottom))
        ++bottom;
    if (top <= bottom)
        return;

    const auto fitSpan = std::pow (2.0, 1.0 / 3.0);
    if (top < last)
    {
        const auto tail = rollOff (transfer, n, static_cast<int> (top / fitSpan), top, top);
        const auto slope = std::min (0.0, tail.slope);
        for (int k = top + 1; k <= last; ++k)
            logMagnitude[static_cast<size_t> (k)] = tail.level + slope * (warped (k, n) - warped (top, n));
    }

    if (bottom > 1)
    {
        const auto tail = rollOff (transfer, n, bottom, static_cast<int> (bottom * fitSpan), bottom);
        const auto slope = std::max (0.0, tail.slope);
        for (int k = 1; k < bottom; ++k)
            logMagnitude[static_cast<size_t> (k)] = tail.level + slope * (warped (k, n) - warped (bottom, n));
    }

    // No sweep measures DC; an empty bin there would be a notch the passband's phase bends round.
    logMagnitude[0] = logMagnitude[1];
}

/** Whether the phase, with the delay taken out, is a straight line over the passband. */
bool isLinearPhase (const Spectrum& transfer, int n, double delay)
{
    double largest = 0.0;
    for (const auto& h : transfer)
        largest = std::max (largest, std::abs (h));

    const auto passband = largest * std::pow (10.0, -passbandBelowPeakDb / 20.0);
    const auto twoPi = 2.0 * 3.14159265358979323846;

    // Unwrapped along the passband bins in order; a gap between them is bridged, which is safe
    // because a linear-phase response has no phase left once its delay is removed.
    std::vector<double> k, phase;
    double previous = 0.0, offset = 0.0;
    for (int j = 1; j < n / 2; ++j)
    {
        const auto& h = transfer[static_cast<size_t> (j)];
        if (std::abs (h) < passband)
            continue;

        const auto wrapped = std::remainder (std::arg (h) + twoPi * j * delay / n, twoPi);
        if (! phase.empty())
            offset += std::round ((previous - wrapped) / twoPi) * twoPi;
        previous = wrapped;
        k.push_back (j);
        phase.push_back (wrapped + offset);
    }

    if (phase.size() < 2)
        return true;

    const auto count = static_cast<double> (k.size());
    double sk = 0.0, sp = 0.0, skk = 0.0, skp = 0.0;
    for (size_t i = 0; i < k.size(); ++i)
    {
        sk += k[i];
        sp += phase[i];
        skk += k[i] * k[i];
        skp += k[i] * phase[i];
    }
    const auto denominator = count * skk - sk * sk;
    const auto slope = std::abs (denominator) > 1e-9 ? (count * skp - sk * sp) / denominator : 0.0;
    const auto intercept = (sp - slope * sk) / count;

    for (size_t i = 0; i < k.size(); ++i)
        if (std::abs (phase[i] - (intercept + slope * k[i])) > linearDeviationRadians)
            return false;

    return true;
}
}

double relativeChange (const Spectrum& a, const Spectrum& b)
{
    double difference = 0.0, energy = 0.0;
    for (size_t k = 0; k < std::min (a.size(), b.size()); ++k)
    {
        difference += std::norm (a[k] - b[k]);
        energy += std::norm (a[k]);
    }
    return energy > 0.0 ? difference / energy : 0.0;
}

Spectrum deconvolve (const Spectrum& stimulus, const Spectrum& response)
{
    double largest = 0.0;
    for (const auto& v : stimulus)
        largest = std::max (largest, std::abs (v));

    const auto epsilon = (1e-4 * largest) * (1e-4 * largest);
    Spectrum h (stimulus.size());
    for (size_t k = 0; k < stimulus.size(); ++k)
        h[k] = std::conj (stimulus[k]) * response[k] / (std::norm (stimulus[k]) + epsilon);

    return h;
}

std::vector<double> minimumPhase (const Spectrum& transfer, int n, double floor)
{
    double largest = 0.0;
    for (const auto& h : transfer)
        largest = std::max (largest, std::abs (h));

    // ln|H| is real and even, so its inverse transform (the real cepstrum) is too.
    const auto trusted = std::max (floor * largest, noiseMargin * noiseLevel (transfer, largest));
    Spectrum logMagnitude (transfer.size());
    for (size_t k = 0; k < transfer.size(); ++k)
        logMagnitude[k] = std::log (std::max (std::abs (transfer[k]), trusted));

    continueTails (logMagnitude, transfer, n, trusted);

    auto cepstrum = minifft::inverseRealSpectrum (logMagnitude, n);

    // Folding onto the non-negative quefrencies makes it causal; its transform's imaginary part
    // is then the minimum phase.
    for (int i = 1; i < n / 2; ++i)
        cepstrum[static_cast<size_t> (i)] *= 2.0;
    std::fill (cepstrum.begin() + n / 2 + 1, cepstrum.end(), 0.0);

    const auto folded = minifft::realSpectrum (cepstrum, n);
    std::vector<double> phase (folded.size());
    for (size_t k = 0; k < folded.size(); ++k)
        phase[k] = folded[k].imag();

    return phase;
}

Timing timing (const Spectrum& transfer, int n, double sampleRate, int largestLag)
{
    Timing t;
    const auto reach = std::clamp (largestLag, 0, n - 1);

    // The response correlated with its minimum-phase version: |H|^2 with the excess phase.
    const auto minimum = minimumPhase (transfer, n, minimumPhaseFloor);
    Spectrum weighted (transfer.size());
    double energy = 0.0;
    for (size_t k = 0; k < transfer.size(); ++k)
    {
        const auto magnitude = std::abs (transfer[k]);
        weighted[k] = transfer[k] * magnitude * std::polar (1.0, -minimum[k]);
        energy += (k == 0 || static_cast<int> (k) == n / 2 ? 1.0 : 2.0) * magnitude * magnitude;
    }
    energy /= n;

    const auto arrival = minifft::inverseRealSpectrum (weighted, n);
    const auto anywhere = strongest (arrival, 0, n - 1);
    const auto inReach = firstArrival (arrival, reach);
    const auto peakShare = [&] (int lag) { return energy > 0.0 ? std::abs (arrival[static_cast<size_t> (lag)]) / energy : 0.0; };

    t.clear = peakShare (anywhere) > clearShare;
    t.beyondReach = t.clear && anywhere > reach
                 && std::abs (arrival[static_cast<size_t> (anywhere)]) > 2.0 * std::abs (arrival[static_cast<size_t> (strongest (arrival, 0, reach))]);

    const auto response = minifft::inverseRealSpectrum (transfer, n);
    const auto centre = strongest (response, 0, reach);
    t.linearPhase = isLinearPhase (transfer, n, refined (response, centre));
    t.latencySamples = std::max (0.0, t.linearPhase ? refined (response, centre) : refined (arrival, inReach));
    const auto [earliest, latest] = groupDelayRange (transfer, minimum, n, sampleRate);
    const auto dispersed = ! t.linearPhase && earliest <= latest;
    t.earliestSamples = dispersed ? earliest : t.latencySamples;
    t.latestSamples = dispersed ? latest : t.latencySamples;

    // How much of the response follows within a moment of its arrival: a filter, a delay or an
    // echo keeps it there, a reverb spreads it over seconds.
    const auto from = static_cast<int> (t.latencySamples) - spreadBeforeSamples;
    const auto to = static_cast<int> (t.latencySamples + spreadAfterSeconds * sampleRate);
    double near = 0.0, all = 0.0;
    for (int i = 0; i < n; ++i)
    {
        const auto e = response[static_cast<size_t> (i)] * response[static_cast<size_t> (i)];
        all += e;
        if (i >= from && i <= to)
            near += e;
    }
    t.spread = near < spreadShare * all;

    // A reverb's phase says nothing about which way it points, nor does output unrelated to the
    // input.
    t.flippedShare = t.spread || ! t.clear || t.beyondReach ? 0.0 : flippedShare (transfer, minimum, n, sampleRate, t.latencySamples, t.linearPhase);
    t.inverted = t.flippedShare >= invertedMajority;
    return t;
}
}
