#include "TrScreens.h"
#include "chart/TrChartGeometry.h"
#include "chart/TrChartView.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <gtest/gtest.h>

#include <cmath>

// Expected pixels come from the chart's layout rules: an 800 x 400 chart at scale 1 has its plot at
// x 46..790 and y 10..372 (8 px padding, a 36 px gutter left and 18 px below, 2 px gaps). A grid
// line lies on the pixel that holds its value; one on the plot's bottom or right edge just inside.
namespace
{
constexpr float plotX = 46, plotY = 10, plotW = 744, plotH = 362;
constexpr float plotRight = plotX + plotW, plotBottom = plotY + plotH;

const juce::Colour line { 0xff242028 };
const juce::Colour lineSubtle { 0xff1a171f };
const juce::Colour mute { 0xffc25a44 };
const juce::Colour green { 0xff00ff00 };
const juce::Colour blue { 0xff0000ff };

/** Each channel c of the line colour moved to 255 - (255 - c) / (1 + amount). */
juce::Colour brighter (juce::Colour c, float amount)
{
    const auto ch = [&] (int v) { return static_cast<juce::uint8> (std::lround (255.0 - (255.0 - v) / (1.0 + amount))); };
    return juce::Colour (ch (c.getRed()), ch (c.getGreen()), ch (c.getBlue()), c.getAlpha());
}

juce::Image render (const TrChart::Model& model, int width = 800, int height = 400, float scale = 1.0f)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    TrChartView::renderChart (g, model, image.getBounds().toFloat(), scale);
    return image;
}

juce::Colour at (const juce::Image& image, float x, float y)
{
    return image.getPixelAt (static_cast<int> (std::floor (x)), static_cast<int> (std::floor (y)));
}

float xOf (double hz, double maxHz = 24000.0)
{
    return plotX + plotW * static_cast<float> (std::log10 (hz / 20.0) / std::log10 (maxHz / 20.0));
}

float yOf (double v, double min = 0.0, double max = 1.0)
{
    return plotBottom - plotH * static_cast<float> ((v - min) / (max - min));
}

TrChart::Trace flatTrace (double y, juce::Colour colour, bool glow = false)
{
    TrChart::Trace t;
    t.colour = colour;
    t.glow = glow;
    for (double f = 20.0; f <= 24000.0; f *= 1.1)
        t.points.push_back ({ f, y });
    t.points.push_back ({ 24000.0, y });
    return t;
}

int countOpaque (const juce::Image& image, juce::Rectangle<int> area)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
    return n;
}

::testing::AssertionResult sameColour (juce::Colour actual, juce::Colour expected, int tolerance = 0)
{
    const auto close = [&] (int a, int b) { return std::abs (a - b) <= tolerance; };
    if (close (actual.getRed(), expected.getRed()) && close (actual.getGreen(), expected.getGreen())
        && close (actual.getBlue(), expected.getBlue()) && close (actual.getAlpha(), expected.getAlpha()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.toDisplayString (true) << " instead of " << expected.toDisplayString (true);
}
}

TEST (ChartRender, TheFrequencyGridHasLinesAtItsTableValuesLabelledOnesBrighter)
{
    // The default model: log frequency 20 Hz..24 kHz, y 0..1 with an automatic grid at 0.2 steps.
    const auto image = render (TrChart::Model());
    const auto midY = yOf (0.5); // between the y lines at 0.4 and 0.6

    const struct
    {
        double hz;
        juce::Colour colour;
    } cases[] { { 100, line }, { 1000, line }, { 10000, line }, { 20000, line }, { 30, lineSubtle }, { 700, lineSubtle }, { 7000, lineSubtle } };
    for (const auto& c : cases)
    {
        EXPECT_TRUE (sameColour (at (image, xOf (c.hz), midY), c.colour)) << c.hz << " Hz";
        EXPECT_EQ (at (image, xOf (c.hz) + 4.0f, midY).getAlpha(), 0) << "nothing beside the " << c.hz << " Hz line";
    }

    // y lines of the automatic grid, the zero line emphasised.
    EXPECT_TRUE (sameColour (at (image, xOf (150), yOf (0.4)), line));
    EXPECT_TRUE (sameColour (at (image, xOf (150), yOf (0.0) - 0.5f), brighter (line, 0.35f)));

    // No traces: no legend, no badge; the plot between grid lines is empty.
    EXPECT_EQ (countOpaque (image, juce::Rectangle<int> (static_cast<int> (xOf (120)) + 2, 15, 30, 30)), 0);
}

TEST (ChartRender, ExplicitTicksIncludingAnEmphasisedLineAtTheRangeEnd)
{
    TrChart::Model model;
    model.yAxis.min = -60;
    model.yAxis.max = 0;
    model.yAxis.ticks = { { -60, "=" }, { -30, "-30" }, { 0, "=0" } };
    model.xAxis.logScale = false;
    model.xAxis.min = -60;
    model.xAxis.max = 0;
    model.xAxis.label = "dBFS";
    model.xAxis.ticks = { { -60, "" }, { -30, "" } };
    const auto image = render (model);

    const auto yPix = [] (double v) { return yOf (v, -60, 0); };
    EXPECT_TRUE (sameColour (at (image, plotX + 100, yPix (-60) - 0.5f), brighter (line, 0.35f))) << "kept at the bottom end, emphasised";
    EXPECT_TRUE (sameColour (at (image, plotX + 100, yPix (-30)), line));
    EXPECT_TRUE (sameColour (at (image, plotX + 100, yPix (0)), brighter (line, 0.35f)));
    EXPECT_TRUE (sameColour (at (image, plotX, plotY + 100), line)) << "x tick at -60 on -60..0";
    EXPECT_TRUE (sameColour (at (image, plotX + plotW * 0.5f, plotY + 100), line));

    // "=" draws no text: the gutter beside the bottom line stays empty, while "-30" is written.
    EXPECT_EQ (countOpaque (image, juce::Rectangle<int> (2, static_cast<int> (yPix (-60)) - 7, 36, 14)), 0);
    EXPECT_GT (countOpaque (image, juce::Rectangle<int> (2, static_cast<int> (yPix (-30)) - 7, 36, 14)), 10);
}

TEST (ChartRender, ACurveIsDrawnInItsColourAtItsPointsAndNothingRightOfTheRevealLine)
{
    TrChart::Model model;
    model.traces.push_back (flatTrace (0.5, green));
    auto filled = flatTrace (0.25, blue, true);
    filled.fill = true;
    model.traces.push_back (filled);
    model.markers.push_back ({ 10000.0, 0.8, "H2", green, false });
    model.reveal = 0.5f;
    const auto image = render (model);

    const auto revealX = plotX + 0.5f * plotW;
    EXPECT_TRUE (sameColour (at (image, xOf (100), yOf (0.5)), green)) << "left of the reveal";
    EXPECT_TRUE (sameColour (at (image, xOf (100), yOf (0.25)), blue));

    // Right of the reveal (beyond the clip's 2 px allowance) neither trace, fill nor marker shows.
    for (int y = static_cast<int> (plotY); y < static_cast<int> (plotBottom); ++y)
        for (int x = static_cast<int> (revealX) + 3; x < static_cast<int> (plotRight); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            ASSERT_FALSE (c.getGreen() > 0x40 && c.getRed() < 0x40) << x << "," << y;
            ASSERT_FALSE (c.getBlue() > 0x60 && c.getRed() < 0x40) << x << "," << y;
        }

    model.reveal = 0.0f;
    const auto hidden = render (model);
    for (int y = static_cast<int> (plotY) - 2; y < static_cast<int> (plotBottom) + 4; ++y)
        for (int x = static_cast<int> (plotX) - 2; x < static_cast<int> (plotX) + 3; ++x)
            ASSERT_FALSE (hidden.getPixelAt (x, y).getGreen() > 0x40 && hidden.getPixelAt (x, y).getRed() < 0x40) << "reveal 0 shows no data";

    model.reveal = 1.0f;
    model.yAxis.label = "level";
    const auto whole = render (model);
    TrTest::keepForReview (whole, "chart-traces");
    EXPECT_TRUE (sameColour (at (whole, xOf (10000), yOf (0.5)), green));
    EXPECT_TRUE (sameColour (at (whole, xOf (10000), yOf (0.8)), green)) << "the marker's dot";
    const auto fade = at (whole, xOf (12000), yOf (0.1));
    EXPECT_GT (fade.getBlue(), 0) << "the fill under the lower curve";
    EXPECT_LT (fade.getAlpha(), 0x24 + 2);
}

TEST (ChartRender, ABandFillsBetweenPartnersOnlyWhenBothHaveTwoPoints)
{
    TrChart::Model model;
    auto upper = flatTrace (0.75, green);
    upper.bandPartner = 1;
    model.traces.push_back (upper);
    model.traces.push_back (flatTrace (0.25, green));
    const auto band = at (render (model), xOf (1500), yOf (0.5));
    EXPECT_TRUE (sameColour (band, green.withAlpha (static_cast<juce::uint8> (0x1f)), 6));

    const struct
    {
        const char* label;
        int partner;
        size_t partnerPoints;
    } noBand[] { { "negative", -1, 100 }, { "past the end", 2, 100 }, { "itself alone", 0, 1 }, { "partner of one point", 1, 1 } };
    for (const auto& c : noBand)
    {
        auto m = model;
        m.traces[0].bandPartner = c.partner;
        m.traces[1].points.resize (c.partnerPoints);
        if (c.partner == 0)
            m.traces[0].points.resize (1);
        EXPECT_EQ (at (render (m), xOf (1500), yOf (0.5)).getAlpha(), 0) << c.label;
    }
}

TEST (ChartRender, APlotUnderFortyPixelsLeavesTheImageFullyTransparent)
{
    TrChart::Model model;
    model.traces.push_back (flatTrace (0.5, green));
    model.badge = "TIME-VARIANT";
    for (const auto& size : { juce::Point<int> (95, 300), juce::Point<int> (300, 77), juce::Point<int> (30, 20) })
    {
        const auto image = render (model, size.x, size.y);
        EXPECT_EQ (countOpaque (image, image.getBounds()), 0) << size.x << " x " << size.y;
    }
    const auto justEnough = render (model, 96, 78);
    EXPECT_GT (countOpaque (justEnough, justEnough.getBounds()), 0);
}

TEST (ChartRender, ARangeNothingMapsIntoDrawsOnlyTheFrame)
{
    TrChart::Model model;
    model.traces.push_back (flatTrace (0.5, green));
    model.traces.push_back (flatTrace (0.25, blue));
    model.badge = "TIME-VARIANT";

    const struct
    {
        const char* label;
        double xMin, xMax, yMin, yMax;
        bool log;
    } cases[] {
        { "x ends equal", 1000, 1000, 0, 1, true },
        { "y reversed", 20, 24000, 1, 0, true },
        { "log x floored at both ends", -1, 1e-12, 0, 1, true },
        { "linear x ending at 0", 0, 0, 0, 1, false },
        { "infinite y", 20, 24000, 0, std::numeric_limits<double>::infinity(), true },
    };

    for (const auto& c : cases)
    {
        auto m = model;
        m.xAxis.min = c.xMin;
        m.xAxis.max = c.xMax;
        m.xAxis.logScale = c.log;
        m.yAxis.min = c.yMin;
        m.yAxis.max = c.yMax;
        const auto image = render (m);
        EXPECT_TRUE (sameColour (at (image, plotX + 200, plotY), line)) << c.label << ": the frame";
        EXPECT_EQ (countOpaque (image, juce::Rectangle<int> (static_cast<int> (plotX) + 2, static_cast<int> (plotY) + 2,
                                                             static_cast<int> (plotW) - 4, static_cast<int> (plotH) - 4)), 0)
            << c.label << ": nothing inside";
        EXPECT_EQ (countOpaque (image, juce::Rectangle<int> (0, 0, static_cast<int> (plotX) - 2, 400)), 0) << c.label << ": no numbers";
    }
}

TEST (ChartRender, TheBadgeIsAPillInTheAlertColourAndTheLegendStaysRightOfTheNumbers)
{
    TrChart::Model model;
    model.badge = "TIME-VARIANT";
    model.yAxis.ticks = { { 0.5, "" } };
    for (int i = 0; i < 12; ++i)
    {
        auto t = flatTrace (0.1 + 0.05 * i, juce::Colour::fromHSV (static_cast<float> (i) / 12.0f, 0.8f, 0.9f, 1.0f));
        t.name = "A rather long curve name " + juce::String (i);
        model.traces.push_back (t);
    }
    const auto image = render (model, 500, 300);
    TrTest::keepForReview (image, "chart-legend-badge");

    // Pill at (plotX + 8, plotY + 30), 20 high: its inside, past the 1 px outline, is mute at alpha 0x29.
    const auto inside = at (image, plotX + 8 + 4, plotY + 30 + 10);
    // Translucent pixels are stored premultiplied, so their channels come back only to within a few steps.
    EXPECT_TRUE (sameColour (inside, mute.withAlpha (static_cast<juce::uint8> (0x29)), 6)) << "badge fill";
    EXPECT_TRUE (sameColour (at (image, plotX + 8 + 30, plotY + 30), mute, 6)) << "badge outline";

    // Twelve long names cannot fit: none of them runs into the number gutter left of the plot.
    EXPECT_EQ (countOpaque (image, juce::Rectangle<int> (0, 0, static_cast<int> (plotX) - 1, 30)), 0);

    // The last trace's legend dot sits first from the right: cursor = plotRight - 10 - (text width + 18).
    const auto plotRightHere = plotX + (500 - 16 - 36 - 4);
    const auto textWidth = UxFonts::getGoogleSansFlexFont (10.0f, 600).getStringWidthFloat (model.traces.back().name);
    const auto dotX = plotRightHere - 10 - (textWidth + 18) + 3;
    EXPECT_TRUE (sameColour (at (image, dotX, plotY + 7 + 0.5f + 3), model.traces.back().colour, 3)) << "legend dot";
}

TEST (ChartRender, AScaledChartPutsEverythingWhereTheScaleSays)
{
    TrChart::Model model;
    model.traces.push_back (flatTrace (0.5, green));
    const auto image = render (model, 1600, 800, 2.0f);
    // At scale 2: plot x 92..1580, y 20..744.
    const auto x = 92.0f + 1488.0f * static_cast<float> (std::log10 (50.0) / std::log10 (1200.0));
    EXPECT_TRUE (sameColour (at (image, x, 20.0f + 362.0f), green));
    EXPECT_TRUE (sameColour (at (image, 92.0f + 1488.0f * static_cast<float> (std::log10 (5.0) / std::log10 (1200.0)) + 0.5f, 100), line))
        << "the 100 Hz line, 2 px wide";
}

TEST (ChartRender, OverlappingMarkerCaptionsStackUpwardsSixTimesAtMost)
{
    // Eight captions at one point: boxes at py - 20 - 13 k, each moved up at most six times, so
    // the seventh lands at k = 6 and the eighth stays there too.
    TrChart::Model model;
    for (int i = 0; i < 8; ++i)
        model.markers.push_back ({ 1500.0, 0.2, "H" + juce::String (i + 2), green, false });
    const auto image = render (model);

    const auto px = xOf (1500), py = yOf (0.2);
    const auto inked = [&] (float top) {
        int n = 0;
        for (int y = static_cast<int> (top) + 1; y < static_cast<int> (top) + 11; ++y)
            for (int x = static_cast<int> (px) - 20; x < static_cast<int> (px) + 20; ++x)
                n += image.getPixelAt (x, y).getGreen() > 0x80 ? 1 : 0;
        return n;
    };
    for (int k = 0; k <= 6; ++k)
        EXPECT_GT (inked (py - 20 - 13.0f * k), 5) << "caption row " << k;
    EXPECT_EQ (inked (py - 20 - 13.0f * 7), 0) << "no eighth row";

    // An alert marker is drawn in the alert colour whatever its own.
    model.markers = { { 1500.0, 0.2, "", green, true } };
    EXPECT_TRUE (sameColour (at (render (model), px, py), mute));
}

TEST (ChartRender, TheLegendListsNamedTracesOnlyAndOnlyWithTwoOrMoreTraces)
{
    const auto legendDotAt = [] (const juce::Image& image, const juce::String& name) {
        const auto iw = UxFonts::getGoogleSansFlexFont (10.0f, 600).getStringWidthFloat (name) + 18.0f;
        return image.getPixelAt (static_cast<int> (plotRight - 10 - iw + 3), static_cast<int> (plotY + 7 + 0.5f + 3));
    };

    TrChart::Model model;
    auto a = flatTrace (0.5, green);
    a.name = "A";
    model.traces.push_back (a);
    EXPECT_EQ (legendDotAt (render (model), "A").getAlpha(), 0) << "one trace: no legend";

    model.traces.push_back (flatTrace (0.25, blue));
    EXPECT_TRUE (sameColour (legendDotAt (render (model), "A"), green)) << "the unnamed one is skipped, A sits first from the right";
}
