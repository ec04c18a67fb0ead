#pragma once

#include "TrChart.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Shows a chart model, with a hover read-out that snaps to the nearest point and a horizontal
    zoom chosen by dragging across the plot. */
class TrChartView final : public juce::Component
{
public:
    TrChartView();

    /** The parts of a chart, bottom to top: grid and titles; the data inside the reveal; legend
        and badge. A video draws the first once and the others on every frame. */
    enum Layers
    {
        gridLayer = 1,
        dataLayer = 2,
        labelLayer = 4,
        allLayers = gridLayer | dataLayer | labelLayer
    };

    /** Draws the chart into bounds; every length and font height is multiplied by scale. Needs no
        window: the report card and the video call it on images. */
    static void renderChart (juce::Graphics& g, const TrChart::Model& model, juce::Rectangle<float> bounds, float scale,
                             int layers = allLayers);

    /** Replaces the model. The zoom stays unless the x axis changed its label or scale. */
    void setModel (TrChart::Model newModel);
    const TrChart::Model& getModel() const { return model; }

    /** The model as drawn: with the zoom range on the x axis while zoomed. */
    TrChart::Model shownModel() const;

    void resetZoom();
    bool isZoomed() const { return zoomed; }
    std::pair<double, double> getZoomRange() const { return { zoomMin, zoomMax }; }

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;

private:
    void paintHover (juce::Graphics& g, const TrChart::Model& shown);

    TrChart::Model model;
    bool hovering = false;
    juce::Point<float> mousePos;
    bool dragging = false;
    float dragStartX = 0.0f, dragEndX = 0.0f;
    bool zoomed = false;
    double zoomMin = 0.0, zoomMax = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrChartView)
};
