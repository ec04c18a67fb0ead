#include "TrMouse.h"
#include "chart/TrChartView.h"

#include <gtest/gtest.h>

#include <cmath>

// An 800 x 400 view: plot x 46..790, y 10..372 (the chart's padding and gutters at scale 1).
namespace
{
constexpr float plotX = 46, plotY = 10, plotW = 744, plotH = 362;

const juce::Colour line { 0xff242028 };

juce::Colour brighter (juce::Colour c, float amount)
{
    const auto ch = [&] (int v) { return static_cast<juce::uint8> (std::lround (255.0 - (255.0 - v) / (1.0 + amount))); };
    return juce::Colour (ch (c.getRed()), ch (c.getGreen()), ch (c.getBlue()), c.getAlpha());
}

double hzAt (float x, double lo = 20.0, double hi = 24000.0)
{
    return std::pow (10.0, std::log10 (lo) + (x - plotX) / plotW * std::log10 (hi / lo));
}

struct View
{
    View() { view.setBounds (0, 0, 800, 400); }

    void drag (float x0, float x1)
    {
        view.mouseDown (TrTest::mouseAt (view, { x0, 200 }));
        view.mouseDrag (TrTest::mouseAt (view, { (x0 + x1) * 0.5f, 200 }));
        view.mouseDrag (TrTest::mouseAt (view, { x1, 200 }));
        view.mouseUp (TrTest::mouseAt (view, { x1, 200 }));
    }

    juce::Image snapshot()
    {
        juce::Image image (juce::Image::ARGB, 800, 400, true);
        juce::Graphics g (image);
        view.paintEntireComponent (g, false);
        return image;
    }

    TrChartView view;
};

TrChart::Trace trace (const juce::String& name, double y)
{
    TrChart::Trace t;
    t.name = name;
    t.colour = juce::Colour (0xff00ff00);
    t.glow = false;
    for (double f = 25.0; f < 24000.0; f *= 2.0)
        t.points.push_back ({ f, y });
    return t;
}
}

TEST (ChartView, ADragAcrossThePlotZoomsToTheRangeUnderIt)
{
    View v;
    TrChart::Model unlabelled; // the x title would share the caption's corner
    unlabelled.xAxis.label = {};
    v.view.setModel (unlabelled);
    v.drag (plotX + 0.25f * plotW, plotX + 0.75f * plotW);
    ASSERT_TRUE (v.view.isZoomed());
    EXPECT_NEAR (v.view.getZoomRange().first, hzAt (plotX + 0.25f * plotW), 1e-6);
    EXPECT_NEAR (v.view.getZoomRange().second, hzAt (plotX + 0.75f * plotW), 1e-6);

    // A second drag zooms within the first range.
    const auto [lo, hi] = v.view.getZoomRange();
    v.drag (plotX, plotX + 0.5f * plotW);
    EXPECT_NEAR (v.view.getZoomRange().first, lo, 1e-6);
    EXPECT_NEAR (v.view.getZoomRange().second, std::sqrt (lo * hi), 1e-6);

    // The caption shows while zoomed; a double-click resets.
    const auto captionArea = juce::Rectangle<int> (static_cast<int> (plotX + plotW - 240), static_cast<int> (plotY + plotH - 18), 232, 12);
    const auto inked = [&] (const juce::Image& image) {
        int n = 0;
        for (int y = captionArea.getY(); y < captionArea.getBottom(); ++y)
            for (int x = captionArea.getX(); x < captionArea.getRight(); ++x)
                n += image.getPixelAt (x, y).getBrightness() > 0.25f ? 1 : 0;
        return n;
    };
    EXPECT_GT (inked (v.snapshot()), 20) << "ZOOM - DOUBLE-CLICK RESETS";

    v.view.mouseDoubleClick (TrTest::mouseAt (v.view, { 300, 200 }, {}, 2));
    EXPECT_FALSE (v.view.isZoomed());
    EXPECT_EQ (inked (v.snapshot()), 0);
}

TEST (ChartView, TooShortOrTooNarrowDragsLeaveTheZoomAlone)
{
    View v;
    v.drag (300, 307);
    EXPECT_FALSE (v.view.isZoomed()) << "7 px";

    // Zoom to 1000..1015 Hz is narrower than x1.02 of 1000 Hz, so only a wide enough drag is taken.
    TrChart::Model model;
    model.xAxis.min = 1000;
    model.xAxis.max = 1030;
    v.view.setModel (model);
    v.drag (plotX, plotX + 0.5f * plotW);
    EXPECT_FALSE (v.view.isZoomed()) << "1000..1014.9 Hz";
    v.drag (plotX, plotX + 0.8f * plotW);
    EXPECT_TRUE (v.view.isZoomed()) << "1000..1023.9 Hz";

    // A click without movement is no drag at all.
    v.view.resetZoom();
    v.view.mouseDown (TrTest::mouseAt (v.view, { 300, 200 }));
    v.view.mouseUp (TrTest::mouseAt (v.view, { 300, 200 }));
    EXPECT_FALSE (v.view.isZoomed());
}

TEST (ChartView, ANewModelKeepsTheZoomUnlessItsXAxisIsAnotherQuantityOrScale)
{
    View v;
    TrChart::Model model;
    v.view.setModel (model);
    v.drag (200, 500);
    ASSERT_TRUE (v.view.isZoomed());

    model.traces.push_back (trace ("A", 0.5));
    v.view.setModel (model);
    EXPECT_TRUE (v.view.isZoomed()) << "same axis, new data";

    model.xAxis.label = "dBFS";
    model.xAxis.logScale = false;
    model.xAxis.min = -60;
    model.xAxis.max = 0;
    v.view.setModel (model);
    EXPECT_FALSE (v.view.isZoomed()) << "a level axis replaces the frequency axis";

    v.drag (200, 500);
    ASSERT_TRUE (v.view.isZoomed());
    model.xAxis.logScale = true;
    v.view.setModel (model);
    EXPECT_FALSE (v.view.isZoomed()) << "same label, other scale";
}

TEST (ChartView, HoverSnapsToTheNearestNamedPointAndIgnoresUnnamedTraces)
{
    View v;
    TrChart::Model model;
    model.traces.push_back (trace ("A", 0.5));
    v.view.setModel (model);

    // The point at 800 Hz, y 0.5.
    const auto px = plotX + plotW * static_cast<float> (std::log10 (800.0 / 20.0) / std::log10 (1200.0));
    const auto py = plotY + plotH * 0.5f;
    v.view.mouseMove (TrTest::mouseAt (v.view, { px + 6, py + 20 }));
    auto image = v.snapshot();

    const auto snapped = brighter (line, 0.35f);
    EXPECT_EQ (image.getPixelAt (static_cast<int> (std::floor (px)), static_cast<int> (plotY) + 3), snapped) << "vertical line at the point";
    EXPECT_EQ (image.getPixelAt (static_cast<int> (plotX) + 3, static_cast<int> (std::floor (py))), snapped) << "horizontal line at the point";

    // The same trace unnamed: nothing to snap to, a plain line at the mouse.
    model.traces[0].name = {};
    v.view.setModel (model);
    v.view.mouseMove (TrTest::mouseAt (v.view, { px + 6, py + 20 }));
    image = v.snapshot();
    EXPECT_EQ (image.getPixelAt (static_cast<int> (std::floor (px + 6)), static_cast<int> (plotY) + 3), brighter (line, 0.2f));
    EXPECT_NE (image.getPixelAt (static_cast<int> (plotX) + 3, static_cast<int> (std::floor (py))), snapped);

    // Away from every point (score 40 or more) and outside the plot: no snap, then no hover at all.
    model.traces[0].name = "A";
    v.view.setModel (model);
    v.view.mouseMove (TrTest::mouseAt (v.view, { px + 6, py + 150 }));
    image = v.snapshot();
    EXPECT_EQ (image.getPixelAt (static_cast<int> (std::floor (px + 6)), static_cast<int> (plotY) + 3), brighter (line, 0.2f));
    v.view.mouseExit (TrTest::mouseAt (v.view, { 900, 900 }));
    image = v.snapshot();
    EXPECT_EQ (image.getPixelAt (static_cast<int> (std::floor (px + 6)), static_cast<int> (plotY) + 3).getAlpha(), 0);
}
