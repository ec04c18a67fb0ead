#pragma once

#include "TrChart.h"

#include <optional>

/** The chart's pixel rules as plain functions: plot placement, value mapping, grids, zoom and the
    hover read-out's number formats. The renderer, the view and the tests share them. */
namespace TrChartGeometry
{
struct Plot
{
    float x = 0, y = 0, width = 0, height = 0;

    float right() const { return x + width; }
    float bottom() const { return y + height; }
    /** A plot under 40 px in either direction draws nothing at all. */
    bool drawable() const { return width >= 40.0f && height >= 40.0f; }
};

/** The plot rectangle inside bounds at a scale: 8 px padding, a 36 px gutter for y numbers on the
    left and 18 px for x numbers below. */
Plot plotFor (juce::Rectangle<float> bounds, float scale);

/** Whether an axis's range can be mapped: finite ends, increasing (on a log axis after flooring
    both ends at 1e-9). */
bool hasUsableRange (const TrChart::Axis& axis);

/** Position of a value along an axis, 0 at min and 1 at max (log10 on a log axis). */
double fraction (double value, const TrChart::Axis& axis);

/** Linear position along the y axis whatever its log flag says. */
double linearFraction (double value, const TrChart::Axis& axis);

/** Pixel x of a value; kept within one plot width either side of the plot. */
float pixelX (double value, const TrChart::Axis& axis, const Plot& plot);

/** Pixel y of a value (linear mapping); kept within one plot height either side of the plot. */
float pixelY (double value, const TrChart::Axis& axis, const Plot& plot);

/** Whether a grid line at this value belongs on the axis: within its range give or take 1e-3 of the span. */
bool tickInRange (double value, const TrChart::Axis& axis);

/** The automatic grid step: 1, 2 or 5 times a power of ten, the first not smaller than an eighth of the span. */
double autoStep (double min, double max);

/** The automatic grid of a linear axis, labelled with the decimals the step needs. */
std::vector<std::pair<double, juce::String>> autoTicks (double min, double max);

/** A hover read-out number: frequency style on an axis labelled "Hz", else 2 or 1 decimals and the unit. */
juce::String formatAxisValue (double value, const TrChart::Axis& axis);

/** The x range a drag from x0 to x1 (pixels) selects within the current range, or nothing when the
    drag is under 8 px, a log range narrower than x1.02, or a linear range under 1e-4 of fullSpan. */
std::optional<std::pair<double, double>> zoomForDrag (float x0, float x1, const Plot& plot, const TrChart::Axis& current,
                                                      double fullSpan);
}
