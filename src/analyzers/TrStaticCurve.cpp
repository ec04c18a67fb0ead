#include "TrStaticCurve.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace TrStaticCurve
{
namespace
{
constexpr double flatSpanDb = 1.0;
constexpr double irregularRmsDb = 1.0;
constexpr double largestKneeDb = 36.0;
constexpr double coarseStepDb = 0.25, coarseKneeStepDb = 0.5;
constexpr double fineStepDb = 0.01, fineKneeStepDb = 0.025;
constexpr double largestExpansionSlope = 1.0 / smallestRatio - 1.0;
constexpr double mutedBelowDb = 80.0;
constexpr double shallowestSlope = 0.05;

/** How far below the unreduced gain the curve lies at a level, per unit of slope (>= 0). */
double depth (Shape shape, double level, double threshold, double knee)
{
    const auto over = shape == Shape::compressor ? level - threshold : threshold - level;
    if (2.0 * over <= -knee)
        return 0.0;
    if (knee > 0.0 && 2.0 * std::abs (over) <= knee)
        return (over + knee / 2.0) * (over + knee / 2.0) / (2.0 * knee);
    return over;
}

struct Candidate
{
    double threshold = 0.0, knee = 0.0, slope = 0.0, makeup = 0.0, error = 1e300;
};

/** The least-squares make-up and slope for a shape's threshold and knee; the slope is the gain
    lost per dB of depth: at most 1 for a compressor (an infinite ratio), at most 99 for a gate. */
Candidate solve (Shape shape, const std::vector<double>& level, const std::vector<double>& gain, double threshold, double knee)
{
    const auto n = static_cast<double> (level.size());
    std::vector<double> d (level.size());
    for (size_t i = 0; i < level.size(); ++i)
        d[i] = depth (shape, level[i], threshold, knee);

    const auto meanD = std::accumulate (d.begin(), d.end(), 0.0) / n;
    const auto meanG = std::accumulate (gain.begin(), gain.end(), 0.0) / n;
    double sdd = 0.0, sdg = 0.0;
    for (size_t i = 0; i < d.size(); ++i)
    {
        sdd += (d[i] - meanD) * (d[i] - meanD);
        sdg += (d[i] - meanD) * (gain[i] - meanG);
    }

    Candidate c { threshold, knee };
    if (sdd <= 1e-12)
        return c; // no step lies where this shape reduces: it says nothing

    const auto limit = shape == Shape::compressor ? 1.0 : largestExpansionSlope;
    c.slope = std::clamp (-sdg / sdd, 0.0, limit);
    c.makeup = meanG + c.slope * meanD;

    c.error = 0.0;
    for (size_t i = 0; i < d.size(); ++i)
    {
        const auto e = gain[i] - (c.makeup - c.slope * d[i]);
        c.error += e * e;
    }
    return c;
}

Candidate search (Shape shape, const std::vector<double>& level, const std::vector<double>& gain, double fromT, double toT,
                  double stepT, double fromW, double toW, double stepW)
{
    Candidate best;
    for (auto t = fromT; t <= toT + 1e-9; t += stepT)
        for (auto w = std::max (0.0, fromW); w <= toW + 1e-9; w += stepW)
            if (const auto c = solve (shape, level, gain, t, w); c.error < best.error)
                best = c;
    return best;
}

Candidate fitShape (Shape shape, const std::vector<double>& level, const std::vector<double>& gain)
{
    const auto [low, high] = std::minmax_element (level.begin(), level.end());
    const auto widest = std::min (largestKneeDb, *high - *low);
    const auto coarse = search (shape, level, gain, *low, *high, coarseStepDb, 0.0, widest, coarseKneeStepDb);
    return search (shape, level, gain, coarse.threshold - coarseStepDb, coarse.threshold + coarseStepDb, fineStepDb,
                   coarse.knee - coarseKneeStepDb, std::min (widest, coarse.knee + coarseKneeStepDb), fineKneeStepDb);
}
}

const char* shapeName (Shape shape)
{
    switch (shape)
    {
        case Shape::compressor: return "compressor";
        case Shape::expander:   return "expander";
        case Shape::gate:       return "gate";
        case Shape::irregular:  return "irregular";
        case Shape::linear:
        default:                return "linear";
    }
}

Fit fit (const std::vector<double>& levelDb, const std::vector<double>& gainDb)
{
    Fit f;
    if (levelDb.size() < 5 || levelDb.size() != gainDb.size())
        return f;

    const auto [smallest, largest] = std::minmax_element (gainDb.begin(), gainDb.end());
    f.spanDb = *largest - *smallest;

    std::vector<double> sorted (gainDb);
    std::nth_element (sorted.begin(), sorted.begin() + static_cast<long> (sorted.size() / 2), sorted.end());
    f.makeupDb = sorted[sorted.size() / 2];
    if (f.spanDb <= flatSpanDb)
        return f;

    // Muted steps at the bottom and open ones above: a gate, opening between the two.
    size_t muted = 0;
    while (muted < gainDb.size() && gainDb[muted] < *largest - mutedBelowDb)
        ++muted;
    const auto mutedAbove = std::any_of (gainDb.begin() + static_cast<long> (muted), gainDb.end(),
                                         [&] (double g) { return g < *largest - mutedBelowDb; });
    if (muted > 0 && muted < gainDb.size() && ! mutedAbove)
    {
        f.shape = Shape::gate;
        f.thresholdDb = 0.5 * (levelDb[muted - 1] + levelDb[muted]);
        f.ratio = smallestRatio;
        std::vector<double> open (gainDb.begin() + static_cast<long> (muted), gainDb.end());
        std::nth_element (open.begin(), open.begin() + static_cast<long> (open.size() / 2), open.end());
        f.makeupDb = open[open.size() / 2];
        return f;
    }

    const auto compressor = fitShape (Shape::compressor, levelDb, gainDb);
    const auto expander = fitShape (Shape::expander, levelDb, gainDb);
    const auto useCompressor = compressor.error <= expander.error;
    const auto& best = useCompressor ? compressor : expander;

    // A reduction of less than a twentieth of a dB per dB is no compression or expansion: the
    // gain changes with level, but not in either shape.
    f.rmsErrorDb = std::sqrt (best.error / static_cast<double> (levelDb.size()));
    if (f.rmsErrorDb > irregularRmsDb || best.slope < shallowestSlope)
    {
        f.shape = Shape::irregular;
        double spread = 0.0;
        for (auto g : gainDb)
            spread += (g - f.makeupDb) * (g - f.makeupDb);
        f.rmsErrorDb = std::sqrt (spread / static_cast<double> (gainDb.size()));
        return f;
    }

    f.shape = useCompressor ? Shape::compressor : Shape::expander;

    f.thresholdDb = best.threshold;
    f.kneeDb = best.knee;
    f.makeupDb = best.makeup;
    f.ratio = useCompressor ? std::min (largestRatio, 1.0 / std::max (1.0 - best.slope, 1.0 / largestRatio))
                            : std::max (smallestRatio, 1.0 / (1.0 + best.slope));
    return f;
}
}
