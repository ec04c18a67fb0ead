#include "TrChartGeometry.h"
#include "TrChartView.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <cmath>

using namespace UxPanelTheme;
using TrChartGeometry::Plot;

namespace
{
juce::Colour withAlphaByte (juce::Colour c, int alpha)
{
    return c.withAlpha (static_cast<juce::uint8> (alpha));
}

// Grid lines sit on whole pixels, the one holding their value, so that they stay crisp; a line on
// the plot's far edge is kept just inside it.
float gridPixel (float position, float farEdge, float thickness)
{
    return std::min (std::floor (position), std::floor (farEdge - thickness));
}

void verticalLine (juce::Graphics& g, float x, const Plot& plot, float s)
{
    const auto t = std::max (1.0f, std::round (s));
    g.fillRect (juce::Rectangle<float> (gridPixel (x, plot.right(), t), plot.y, t, plot.height));
}

void horizontalLine (juce::Graphics& g, float y, const Plot& plot, float s)
{
    const auto t = std::max (1.0f, std::round (s));
    g.fillRect (juce::Rectangle<float> (plot.x, gridPixel (y, plot.bottom(), t), plot.width, t));
}

TrChart::Axis linearCopy (const TrChart::Axis& axis)
{
    auto copy = axis;
    copy.logScale = false;
    return copy;
}

void drawXGrid (juce::Graphics& g, const TrChart::Axis& axis, const Plot& plot, float s)
{
    g.setFont (UxFonts::monoFont (10.0f * s));
    const auto draw = [&] (double value, const juce::String& label, juce::Colour lineColour) {
        const auto x = TrChartGeometry::pixelX (value, axis, plot);
        g.setColour (lineColour);
        verticalLine (g, x, plot, s);
        if (label.isNotEmpty())
        {
            g.setColour (Colours::textDim);
            g.drawText (label, juce::Rectangle<float> (x - 24.0f * s, plot.bottom() + 4.0f * s, 48.0f * s, 14.0f * s),
                        juce::Justification::centredTop, false);
        }
    };

    if (! axis.ticks.empty())
    {
        for (const auto& [value, label] : axis.ticks)
            if (TrChartGeometry::tickInRange (value, axis))
                draw (value, label, Colours::line);
    }
    else if (axis.logScale)
    {
        for (const auto& [value, label] : TrChart::frequencyTicks())
            if (TrChartGeometry::tickInRange (value, axis))
                draw (value, label, label.isEmpty() ? Colours::lineSubtle : Colours::line);
    }
    else
    {
        for (const auto& [value, label] : TrChartGeometry::autoTicks (axis.min, axis.max))
            draw (value, label, Colours::line);
    }
}

void drawYGrid (juce::Graphics& g, const TrChart::Axis& axis, const Plot& plot, float bx, float s)
{
    g.setFont (UxFonts::monoFont (10.0f * s));
    const auto emphasised = brightened (Colours::line, 0.35f);
    const auto draw = [&] (double value, const juce::String& label, juce::Colour lineColour) {
        const auto y = TrChartGeometry::pixelY (value, axis, plot);
        g.setColour (lineColour);
        horizontalLine (g, y, plot, s);
        if (label.isNotEmpty())
        {
            g.setColour (Colours::textDim);
            g.drawText (label, juce::Rectangle<float> (bx + 2.0f * s, y - 7.0f * s, 34.0f * s, 14.0f * s),
                        juce::Justification::centredRight, false);
        }
    };

    if (! axis.ticks.empty())
    {
        for (const auto& [value, label] : axis.ticks)
            if (TrChartGeometry::tickInRange (value, axis))
            {
                if (label.startsWith ("="))
                    draw (value, label.substring (1), emphasised);
                else
                    draw (value, label, Colours::line);
            }
        return;
    }

    for (const auto& [value, label] : TrChartGeometry::autoTicks (axis.min, axis.max))
        draw (value, label, value == 0.0 ? emphasised : Colours::line);
}

void drawAxisTitles (juce::Graphics& g, const TrChart::Model& model, const Plot& plot, float s)
{
    g.setFont (UxFonts::getGoogleSansFlexFont (10.0f * s, 600));
    g.setColour (Colours::textDim);
    if (model.yAxis.label.isNotEmpty())
        drawTracked (g, model.yAxis.label.toUpperCase(), { plot.x + 4.0f * s, plot.y + 14.0f * s, 240.0f * s, 12.0f * s },
                     juce::Justification::centredLeft, 1.2f * s);
    if (model.xAxis.label.isNotEmpty())
        drawTracked (g, model.xAxis.label.toUpperCase(),
                     { plot.right() - 244.0f * s, plot.bottom() - 15.0f * s, 240.0f * s, 12.0f * s },
                     juce::Justification::centredRight, 1.2f * s);
}

/** The polyline of a trace in pixels (y always linear); points that are not numbers break the line. */
juce::Path tracePath (const TrChart::Trace& trace, const TrChart::Model& model, const Plot& plot, bool reversed = false)
{
    juce::Path path;
    bool started = false;
    const auto count = trace.points.size();
    for (size_t i = 0; i < count; ++i)
    {
        const auto& p = trace.points[reversed ? count - 1 - i : i];
        if (! std::isfinite (p.x) || ! std::isfinite (p.y))
        {
            started = false;
            continue;
        }
        const auto y = juce::jlimit (model.yAxis.min - 20.0, model.yAxis.max + 20.0, p.y);
        const juce::Point<float> pixel (TrChartGeometry::pixelX (p.x, model.xAxis, plot), TrChartGeometry::pixelY (y, model.yAxis, plot));
        if (started)
            path.lineTo (pixel);
        else
            path.startNewSubPath (pixel);
        started = true;
    }
    return path;
}

void drawBands (juce::Graphics& g, const TrChart::Model& model, const Plot& plot)
{
    const auto count = static_cast<int> (model.traces.size());
    for (const auto& trace : model.traces)
    {
        const auto p = trace.bandPartner;
        if (p < 0 || p >= count || trace.points.size() < 2 || model.traces[static_cast<size_t> (p)].points.size() < 2)
            continue;

        auto band = tracePath (trace, model, plot);
        const auto back = tracePath (model.traces[static_cast<size_t> (p)], model, plot, true);
        juce::Path::Iterator it (back);
        while (it.next())
            if (it.elementType == juce::Path::Iterator::startNewSubPath || it.elementType == juce::Path::Iterator::lineTo)
                band.lineTo (it.x1, it.y1);
        band.closeSubPath();
        g.setColour (withAlphaByte (trace.colour, 0x1f));
        g.fillPath (band);
    }
}

void drawTraces (juce::Graphics& g, const TrChart::Model& model, const Plot& plot, float s)
{
    for (const auto& trace : model.traces)
    {
        if (trace.points.empty())
            continue;

        const auto path = tracePath (trace, model, plot);
        if (trace.fill && ! path.isEmpty())
        {
            const auto first = path.getPointAlongPath (0.0f);
            const auto last = path.getCurrentPosition();
            auto area = path;
            area.lineTo (last.x, plot.bottom());
            area.lineTo (first.x, plot.bottom());
            area.closeSubPath();
            g.setGradientFill (juce::ColourGradient (withAlphaByte (trace.colour, 0x24), plot.x, plot.y,
                                                     withAlphaByte (trace.colour, 0x05), plot.x, plot.bottom(), false));
            g.fillPath (area);
        }

        const auto stroke = [&] (float width) {
            return juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
        };
        if (trace.glow)
        {
            g.setColour (withAlphaByte (trace.colour, 0x29));
            g.strokePath (path, stroke (trace.thickness * 2.8f * s));
        }
        g.setColour (trace.colour);
        g.strokePath (path, stroke (trace.thickness * s));
    }
}

void drawMarkers (juce::Graphics& g, const TrChart::Model& model, const Plot& plot, float revealX, float s)
{
    std::vector<juce::Rectangle<float>> placed;
    const auto font = UxFonts::getGoogleSansFlexFont (10.0f * s, 700);
    for (const auto& marker : model.markers)
    {
        const auto px = TrChartGeometry::pixelX (marker.x, model.xAxis, plot);
        if (px > revealX || ! std::isfinite (marker.y))
            continue;
        const auto py = TrChartGeometry::pixelY (juce::jlimit (model.yAxis.min, model.yAxis.max, marker.y), model.yAxis, plot);
        const auto c = marker.alert ? Colours::mute : marker.colour;

        g.setColour (withAlphaByte (c, 0x59));
        g.drawLine (px, py + 3.0f * s, px, plot.bottom(), 1.0f * s);
        g.setColour (withAlphaByte (c, 0x40));
        g.fillEllipse (px - 5.0f * s, py - 5.0f * s, 10.0f * s, 10.0f * s);
        g.setColour (c);
        g.fillEllipse (px - 2.2f * s, py - 2.2f * s, 4.4f * s, 4.4f * s);

        if (marker.label.isEmpty())
            continue;

        const auto bw = std::max (font.getStringWidthFloat (marker.label) + 8.0f * s, 48.0f * s);
        juce::Rectangle<float> box (px - bw * 0.5f, py - 20.0f * s, bw, 12.0f * s);
        for (int moves = 0; moves < 6; ++moves)
        {
            const auto clash = std::any_of (placed.begin(), placed.end(), [&] (const auto& other) { return other.intersects (box); });
            if (! clash)
                break;
            box = box.translated (0.0f, -13.0f * s);
        }
        placed.push_back (box);
        g.setFont (font);
        g.drawText (marker.label, box, juce::Justification::centred, false);
    }
}

void drawLegend (juce::Graphics& g, const TrChart::Model& model, const Plot& plot, float s)
{
    if (model.traces.size() < 2)
        return;

    const auto font = UxFonts::getGoogleSansFlexFont (10.0f * s, 600);
    std::vector<const TrChart::Trace*> named;
    for (auto it = model.traces.rbegin(); it != model.traces.rend(); ++it)
        if (it->name.isNotEmpty())
            named.push_back (&*it);

    const auto itemWidth = [&] (const TrChart::Trace& t) { return font.getStringWidthFloat (t.name) + 18.0f * s; };
    float needed = 0.0f;
    for (const auto* t : named)
        needed += itemWidth (*t) + 10.0f * s;

    // Items never run into the y numbers; those that do not fit are counted instead.
    const auto leftLimit = plot.x;
    auto cursor = plot.right() - 10.0f * s;
    const auto allFit = cursor - needed + 10.0f * s >= leftLimit;
    g.setFont (font);
    for (size_t i = 0; i < named.size(); ++i)
    {
        const auto& trace = *named[i];
        const auto iw = itemWidth (trace);
        const auto remaining = static_cast<int> (named.size() - i);
        const auto moreWidth = allFit ? 0.0f : font.getStringWidthFloat ("+" + juce::String (remaining - 1) + " more") + 10.0f * s;
        if (! allFit && cursor - iw - moreWidth < leftLimit)
        {
            const auto text = "+" + juce::String (remaining) + " more";
            const auto tw = font.getStringWidthFloat (text);
            if (cursor - tw >= leftLimit)
            {
                g.setColour (Colours::textDim);
                g.drawText (text, juce::Rectangle<float> (cursor - tw, plot.y + 3.0f * s, tw, 14.0f * s),
                            juce::Justification::centredLeft, false);
            }
            return;
        }

        cursor -= iw;
        g.setColour (trace.colour);
        g.fillEllipse (cursor, plot.y + 7.0f * s + 0.5f, 6.0f * s, 6.0f * s);
        g.setColour (Colours::textSecondary);
        g.drawText (trace.name, juce::Rectangle<float> (cursor + 10.0f * s, plot.y + 3.0f * s, iw - 10.0f * s, 14.0f * s),
                    juce::Justification::centredLeft, false);
        cursor -= 10.0f * s;
    }
}

void drawBadge (juce::Graphics& g, const juce::String& badge, const Plot& plot, float s)
{
    if (badge.isEmpty())
        return;

    const auto font = UxFonts::getGoogleSansFlexFont (10.0f * s, 800);
    const juce::Rectangle<float> pill (plot.x + 8.0f * s, plot.y + 30.0f * s,
                                       trackedWidth (font, badge, 1.2f * s) + 20.0f * s, 20.0f * s);
    g.setColour (withAlphaByte (Colours::mute, 0x29));
    g.fillRoundedRectangle (pill, 10.0f * s);
    g.setColour (Colours::mute);
    g.drawRoundedRectangle (pill.reduced (0.5f * s), 10.0f * s, 1.0f * s);
    g.setFont (font);
    drawTracked (g, badge, pill, juce::Justification::centred, 1.2f * s);
}
}

void TrChartView::renderChart (juce::Graphics& g, const TrChart::Model& model, juce::Rectangle<float> bounds, float s, int layers)
{
    const auto plot = TrChartGeometry::plotFor (bounds, s);
    if (! plot.drawable())
        return;

    // A stale zoom or an empty result can leave a range nothing maps into: show the frame only.
    if (! TrChartGeometry::hasUsableRange (model.xAxis) || ! TrChartGeometry::hasUsableRange (linearCopy (model.yAxis)))
    {
        if ((layers & gridLayer) == 0)
            return;
        g.setColour (Colours::line);
        g.drawRect (juce::Rectangle<float> (plot.x, plot.y, plot.width, plot.height), std::max (1.0f, s));
        return;
    }

    if ((layers & gridLayer) != 0)
    {
        drawXGrid (g, model.xAxis, plot, s);
        drawYGrid (g, linearCopy (model.yAxis), plot, bounds.getX(), s);
        drawAxisTitles (g, model, plot, s);
    }

    // The clip keeps 2 px either side of the revealed part for round line caps; before the reveal
    // has begun nothing of the data shows at all.
    const auto reveal = juce::jlimit (0.0f, 1.0f, model.reveal);
    const auto revealX = plot.x + reveal * plot.width;
    if (reveal > 0.0f && (layers & dataLayer) != 0)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (juce::Rectangle<int> (static_cast<int> (plot.x - 2.0f), static_cast<int> (plot.y - 2.0f),
                                                  static_cast<int> (revealX - plot.x + 4.0f), static_cast<int> (plot.height + 6.0f)));
        drawBands (g, model, plot);
        drawTraces (g, model, plot, s);
        drawMarkers (g, model, plot, revealX, s);
    }

    if ((layers & labelLayer) != 0)
    {
        drawLegend (g, model, plot, s);
        drawBadge (g, model.badge, plot, s);
    }
}
