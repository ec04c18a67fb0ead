#include "TrChartGeometry.h"

#include <cmath>

namespace
{
constexpr double logFloor = 1e-9;

double logOf (double v)
{
    return std::log10 (std::max (v, logFloor));
}
}

namespace TrChartGeometry
{
Plot plotFor (juce::Rectangle<float> bounds, float s)
{
    const auto innerW = std::max (0.0f, bounds.getWidth() - 16.0f * s);
    const auto innerH = std::max (0.0f, bounds.getHeight() - 16.0f * s);
    const auto gutterW = std::min (innerW, 36.0f * s);
    const auto gutterH = std::min (innerH, 18.0f * s);

    Plot p;
    p.x = bounds.getX() + 8.0f * s + gutterW + 2.0f * s;
    p.y = bounds.getY() + 8.0f * s + 2.0f * s;
    p.width = std::max (0.0f, innerW - gutterW - 4.0f * s);
    p.height = std::max (0.0f, innerH - gutterH - 4.0f * s);
    return p;
}

bool hasUsableRange (const TrChart::Axis& axis)
{
    if (! std::isfinite (axis.min) || ! std::isfinite (axis.max))
        return false;
    return axis.logScale ? logOf (axis.min) < logOf (axis.max) : axis.min < axis.max;
}

double fraction (double value, const TrChart::Axis& axis)
{
    if (axis.logScale)
        return (logOf (value) - logOf (axis.min)) / (logOf (axis.max) - logOf (axis.min));
    return linearFraction (value, axis);
}

double linearFraction (double value, const TrChart::Axis& axis)
{
    return (value - axis.min) / (axis.max - axis.min);
}

float pixelX (double value, const TrChart::Axis& axis, const Plot& plot)
{
    const auto f = juce::jlimit (-1.0, 2.0, fraction (value, axis));
    return plot.x + static_cast<float> (f) * plot.width;
}

float pixelY (double value, const TrChart::Axis& axis, const Plot& plot)
{
    const auto f = juce::jlimit (-1.0, 2.0, linearFraction (value, axis));
    return plot.bottom() - static_cast<float> (f) * plot.height;
}

bool tickInRange (double value, const TrChart::Axis& axis)
{
    const auto f = fraction (value, axis);
    return f >= -1e-3 && f <= 1.0 + 1e-3;
}

double autoStep (double min, double max)
{
    const auto wanted = (max - min) / 8.0;
    auto decade = std::pow (10.0, std::floor (std::log10 (wanted)));
    for (;;)
    {
        for (const auto m : { 1.0, 2.0, 5.0 })
            if (m * decade >= wanted * (1.0 - 1e-12))
                return m * decade;
        decade *= 10.0;
    }
}

std::vector<std::pair<double, juce::String>> autoTicks (double min, double max)
{
    const auto step = autoStep (min, max);
    const auto decimals = std::max (0, static_cast<int> (-std::floor (std::log10 (step) + 1e-9)));
    const auto tolerance = (max - min) * 1e-3;

    std::vector<std::pair<double, juce::String>> ticks;
    for (auto k = std::ceil ((min - tolerance) / step); k * step <= max + tolerance; k += 1.0)
    {
        auto v = k * step;
        if (std::abs (v) < step * 1e-9)
            v = 0.0;
        ticks.emplace_back (v, juce::String (v, decimals));
    }
    return ticks;
}

juce::String formatAxisValue (double value, const TrChart::Axis& axis)
{
    if (axis.label == "Hz")
    {
        if (value >= 1000.0)
            return juce::String (value / 1000.0, value >= 10000.0 ? 1 : 2) + " kHz";
        return (value < 100.0 ? juce::String (value, 1) : juce::String (juce::roundToInt (value))) + " Hz";
    }

    const auto text = juce::String (value, std::abs (value) < 10.0 ? 2 : 1);
    return axis.label.isEmpty() ? text : text + " " + axis.label;
}

std::optional<std::pair<double, double>> zoomForDrag (float x0, float x1, const Plot& plot, const TrChart::Axis& current,
                                                      double fullSpan)
{
    const auto left = juce::jlimit (plot.x, plot.right(), std::min (x0, x1));
    const auto right = juce::jlimit (plot.x, plot.right(), std::max (x0, x1));
    if (right - left < 8.0f || plot.width <= 0.0f)
        return std::nullopt;

    const auto a = juce::jlimit (0.0, 1.0, static_cast<double> ((left - plot.x) / plot.width));
    const auto b = juce::jlimit (0.0, 1.0, static_cast<double> ((right - plot.x) / plot.width));

    if (current.logScale)
    {
        const auto l0 = logOf (current.min);
        const auto l1 = logOf (current.max);
        const auto lo = std::pow (10.0, l0 + a * (l1 - l0));
        const auto hi = std::pow (10.0, l0 + b * (l1 - l0));
        if (hi / std::max (lo, logFloor) < 1.02)
            return std::nullopt;
        return std::make_pair (lo, hi);
    }

    const auto lo = current.min + a * (current.max - current.min);
    const auto hi = current.min + b * (current.max - current.min);
    if (hi - lo < std::max (1e-9, 1e-4 * fullSpan))
        return std::nullopt;
    return std::make_pair (lo, hi);
}
}
