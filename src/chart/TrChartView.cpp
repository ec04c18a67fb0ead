#include "TrChartView.h"

#include "TrChartGeometry.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <cmath>

using namespace UxPanelTheme;

TrChartView::TrChartView()
{
    setOpaque (false);
}

void TrChartView::setModel (TrChart::Model newModel)
{
    // A zoom is in the old axis's units; on another quantity or scale it would show nothing meaningful.
    if (newModel.xAxis.label != model.xAxis.label || newModel.xAxis.logScale != model.xAxis.logScale)
        resetZoom();

    model = std::move (newModel);
    repaint();
}

void TrChartView::resetZoom()
{
    if (zoomed || dragging)
    {
        zoomed = false;
        dragging = false;
        repaint();
    }
}

TrChart::Model TrChartView::shownModel() const
{
    auto shown = model;
    if (zoomed)
    {
        shown.xAxis.min = zoomMin;
        shown.xAxis.max = zoomMax;
    }
    return shown;
}

void TrChartView::paint (juce::Graphics& g)
{
    const auto shown = shownModel();
    const auto bounds = getLocalBounds().toFloat();
    renderChart (g, shown, bounds, 1.0f);

    const auto plot = TrChartGeometry::plotFor (bounds, 1.0f);
    if (! plot.drawable())
        return;

    if (zoomed)
    {
        g.setFont (UxFonts::getGoogleSansFlexFont (8.5f, 700));
        g.setColour (Colours::textDim);
        drawTracked (g, "ZOOM - DOUBLE-CLICK RESETS", { plot.right() - 240.0f, plot.bottom() - 18.0f, 232.0f, 12.0f },
                     juce::Justification::centredRight, 1.0f);
    }

    if (dragging && std::abs (dragEndX - dragStartX) > 3.0f)
    {
        const juce::Rectangle<float> span (std::min (dragStartX, dragEndX), plot.y, std::abs (dragEndX - dragStartX), plot.height);
        g.setColour (Colours::gold.withAlpha (static_cast<juce::uint8> (0x1a)));
        g.fillRect (span);
        g.setColour (Colours::gold.withAlpha (static_cast<juce::uint8> (0x73)));
        g.drawRect (span, 1.0f);
    }

    if (hovering && ! dragging)
        paintHover (g, shown);
}

void TrChartView::paintHover (juce::Graphics& g, const TrChart::Model& shown)
{
    const auto plot = TrChartGeometry::plotFor (getLocalBounds().toFloat(), 1.0f);
    if (mousePos.x < plot.x || mousePos.x >= plot.right() || mousePos.y < plot.y || mousePos.y >= plot.bottom())
        return;
    if (! TrChartGeometry::hasUsableRange (shown.xAxis) || ! (shown.yAxis.max > shown.yAxis.min))
        return;

    const TrChart::Trace* best = nullptr;
    TrChart::Point bestPoint;
    juce::Point<float> bestPixel;
    auto bestScore = 40.0f;
    for (const auto& trace : shown.traces)
    {
        if (trace.name.isEmpty())
            continue;
        for (const auto& p : trace.points)
        {
            if (! std::isfinite (p.x) || ! std::isfinite (p.y))
                continue;
            const auto px = TrChartGeometry::pixelX (p.x, shown.xAxis, plot);
            if (px < plot.x - 1.0f || px > plot.right() + 1.0f)
                continue;
            const auto py = plot.bottom() - static_cast<float> (TrChartGeometry::linearFraction (p.y, shown.yAxis)) * plot.height;
            const auto score = std::abs (px - mousePos.x) + 0.35f * std::abs (py - mousePos.y);
            if (score < bestScore)
            {
                bestScore = score;
                best = &trace;
                bestPoint = p;
                bestPixel = { px, py };
            }
        }
    }

    if (best == nullptr)
    {
        g.setColour (brightened (Colours::line, 0.2f));
        g.fillRect (juce::Rectangle<float> (std::floor (mousePos.x), plot.y, 1.0f, plot.height));
        return;
    }

    g.setColour (brightened (Colours::line, 0.35f));
    g.fillRect (juce::Rectangle<float> (std::floor (bestPixel.x), plot.y, 1.0f, plot.height));
    g.fillRect (juce::Rectangle<float> (plot.x, std::floor (bestPixel.y), plot.width, 1.0f));
    g.setColour (best->colour);
    g.drawEllipse (juce::Rectangle<float> (9.0f, 9.0f).withCentre (bestPixel), 1.6f);

    const auto valueText = TrChartGeometry::formatAxisValue (bestPoint.x, shown.xAxis) + "   "
                           + TrChartGeometry::formatAxisValue (bestPoint.y, shown.yAxis);
    const auto valueFont = UxFonts::getGoogleSansFlexFont (10.5f, 600);
    const auto nameFont = UxFonts::getGoogleSansFlexFont (9.5f, 700);
    const auto bw = std::max (valueFont.getStringWidthFloat (valueText), nameFont.getStringWidthFloat (best->name)) + 20.0f;

    juce::Rectangle<float> box (bestPixel.x + 14.0f, bestPixel.y - 48.0f, bw, 38.0f);
    if (box.getRight() > plot.right())
        box.setX (bestPixel.x - 14.0f - bw);
    if (box.getY() < plot.y)
        box.setY (bestPixel.y + 12.0f);

    g.setColour (juce::Colour (0xf0141318));
    g.fillRoundedRectangle (box, 5.0f);
    g.setColour (best->colour.withAlpha (static_cast<juce::uint8> (0x8c)));
    g.drawRoundedRectangle (box.reduced (0.5f), 5.0f, 1.0f);
    g.setColour (best->colour);
    g.setFont (nameFont);
    g.drawText (best->name, juce::Rectangle<float> (box.getX() + 10.0f, box.getY() + 5.0f, bw - 20.0f, 13.44f),
                juce::Justification::centredLeft, false);
    g.setColour (Colours::textPrimary);
    g.setFont (valueFont);
    g.drawText (valueText, juce::Rectangle<float> (box.getX() + 10.0f, box.getY() + 18.44f, bw - 20.0f, 14.56f),
                juce::Justification::centredLeft, false);
}

void TrChartView::mouseMove (const juce::MouseEvent& e)
{
    hovering = true;
    mousePos = e.position;
    repaint();
}

void TrChartView::mouseExit (const juce::MouseEvent&)
{
    hovering = false;
    dragging = false;
    repaint();
}

void TrChartView::mouseDown (const juce::MouseEvent& e)
{
    dragStartX = dragEndX = e.position.x;
    dragging = false;
}

void TrChartView::mouseDrag (const juce::MouseEvent& e)
{
    dragging = true;
    dragEndX = e.position.x;
    mousePos = e.position;
    repaint();
}

void TrChartView::mouseUp (const juce::MouseEvent&)
{
    if (! dragging)
        return;

    dragging = false;
    auto current = model.xAxis;
    if (zoomed)
    {
        current.min = zoomMin;
        current.max = zoomMax;
    }

    const auto plot = TrChartGeometry::plotFor (getLocalBounds().toFloat(), 1.0f);
    if (TrChartGeometry::hasUsableRange (current))
        if (const auto range = TrChartGeometry::zoomForDrag (dragStartX, dragEndX, plot, current, model.xAxis.max - model.xAxis.min))
        {
            zoomMin = range->first;
            zoomMax = range->second;
            zoomed = true;
        }
    repaint();
}

void TrChartView::mouseDoubleClick (const juce::MouseEvent&)
{
    resetZoom();
}
