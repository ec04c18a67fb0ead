#include "chart/TrChartGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using TrChartGeometry::Plot;

namespace
{
TrChart::Axis axis (double min, double max, bool log = false, const juce::String& label = {})
{
    TrChart::Axis a;
    a.min = min;
    a.max = max;
    a.logScale = log;
    a.label = label;
    return a;
}
}

TEST (ChartGeometry, ThePlotSitsInsideThePaddingAndTheNumberGutters)
{
    const struct
    {
        const char* label;
        juce::Rectangle<float> bounds;
        float scale;
        Plot expected;
        bool drawable;
    } cases[] {
        // x = bx + 8s + min(w - 16s, 36s) + 2s, width = w - 16s - 36s - 4s; likewise down with 18s.
        { "window size", { 0, 0, 800, 400 }, 1.0f, { 46, 10, 744, 362 }, true },
        { "offset, scale 2", { 10, 20, 1000, 600 }, 2.0f, { 102, 40, 888, 524 }, true },
        { "just wide enough", { 0, 0, 96, 78 }, 1.0f, { 46, 10, 40, 40 }, true },
        { "one pixel too narrow", { 0, 0, 95, 200 }, 1.0f, { 46, 10, 39, 162 }, false },
        { "one pixel too short", { 0, 0, 200, 77 }, 1.0f, { 46, 10, 144, 39 }, false },
        { "smaller than its gutters", { 0, 0, 30, 20 }, 1.0f, { 24, 10, 0, 0 }, false },
    };

    for (const auto& c : cases)
    {
        const auto p = TrChartGeometry::plotFor (c.bounds, c.scale);
        EXPECT_FLOAT_EQ (p.x, c.expected.x) << c.label;
        EXPECT_FLOAT_EQ (p.y, c.expected.y) << c.label;
        EXPECT_FLOAT_EQ (p.width, c.expected.width) << c.label;
        EXPECT_FLOAT_EQ (p.height, c.expected.height) << c.label;
        EXPECT_EQ (p.drawable(), c.drawable) << c.label;
    }
}

TEST (ChartGeometry, OnlyFiniteIncreasingRangesCanBeDrawn)
{
    const struct
    {
        const char* label;
        TrChart::Axis a;
        bool usable;
    } cases[] {
        { "frequency", axis (20, 24000, true), true },
        { "dB", axis (-120, 0), true },
        { "equal ends", axis (5, 5), false },
        { "reversed", axis (10, -10), false },
        { "scope time axis ending at 0", axis (0, 0), false },
        { "log axis floored at both ends", axis (-5, 1e-10, true), false },
        { "log axis with a negative start", axis (-5, 100, true), true },
        { "infinite end", axis (0, std::numeric_limits<double>::infinity()), false },
        { "not a number", axis (std::nan (""), 1), false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrChartGeometry::hasUsableRange (c.a), c.usable) << c.label;
}

TEST (ChartGeometry, ValuesMapLinearlyOrThroughLogarithmsAndStayWithinAPlotWidthOfThePlot)
{
    const Plot plot { 46, 10, 744, 362 };
    const auto freq = axis (20, 24000, true);
    const auto db = axis (-120, 0);
    const auto logY = axis (1, 100, true);

    const struct
    {
        const char* label;
        float actual, expected;
    } cases[] {
        { "20 Hz at the left edge", TrChartGeometry::pixelX (20, freq, plot), 46.0f },
        { "24 kHz at the right edge", TrChartGeometry::pixelX (24000, freq, plot), 790.0f },
        { "1 kHz", TrChartGeometry::pixelX (1000, freq, plot), 46.0f + 744.0f * static_cast<float> (std::log10 (50.0) / std::log10 (1200.0)) },
        { "zero and below floor at 1e-9", TrChartGeometry::pixelX (0, axis (1e-9, 1e-3, true), plot), 46.0f },
        { "-60 dB halfway up", TrChartGeometry::pixelY (-60, db, plot), 10.0f + 181.0f },
        { "the y axis is linear whatever its flag", TrChartGeometry::pixelY (50.5, logY, plot), 10.0f + 181.0f },
        { "far right: one plot width beyond", TrChartGeometry::pixelX (1e12, freq, plot), 46.0f + 2.0f * 744.0f },
        { "far below: one plot height beyond", TrChartGeometry::pixelY (-1e9, db, plot), 372.0f + 362.0f },
        { "far above", TrChartGeometry::pixelY (1e9, db, plot), 10.0f - 362.0f },
    };

    for (const auto& c : cases)
        EXPECT_NEAR (c.actual, c.expected, 1e-3) << c.label;
}

TEST (ChartGeometry, AutomaticGridsStepOneTwoFiveWithTheDecimalsTheStepNeeds)
{
    const struct
    {
        const char* label;
        double min, max;
        std::vector<std::pair<double, juce::String>> ticks;
    } cases[] {
        { "+-0.6 ms", -0.6, 0.6, { { -0.6, "-0.6" }, { -0.4, "-0.4" }, { -0.2, "-0.2" }, { 0.0, "0.0" }, { 0.2, "0.2" }, { 0.4, "0.4" }, { 0.6, "0.6" } } },
        { "3000 %", 0, 3000, { { 0, "0" }, { 500, "500" }, { 1000, "1000" }, { 1500, "1500" }, { 2000, "2000" }, { 2500, "2500" }, { 3000, "3000" } } },
        { "dB", -100, 0, { { -100, "-100" }, { -80, "-80" }, { -60, "-60" }, { -40, "-40" }, { -20, "-20" }, { 0, "0" } } },
        { "unit range", 0, 1, { { 0, "0.0" }, { 0.2, "0.2" }, { 0.4, "0.4" }, { 0.6, "0.6" }, { 0.8, "0.8" }, { 1.0, "1.0" } } },
        { "hundredths", 0, 0.08, { { 0, "0.00" }, { 0.01, "0.01" }, { 0.02, "0.02" }, { 0.03, "0.03" }, { 0.04, "0.04" }, { 0.05, "0.05" }, { 0.06, "0.06" }, { 0.07, "0.07" }, { 0.08, "0.08" } } },
        { "off-grid ends", -7, 13, { { -5, "-5" }, { 0, "0" }, { 5, "5" }, { 10, "10" } } },
    };

    for (const auto& c : cases)
    {
        const auto ticks = TrChartGeometry::autoTicks (c.min, c.max);
        ASSERT_EQ (ticks.size(), c.ticks.size()) << c.label;
        for (size_t i = 0; i < ticks.size(); ++i)
        {
            EXPECT_NEAR (ticks[i].first, c.ticks[i].first, 1e-12) << c.label;
            EXPECT_EQ (ticks[i].second, c.ticks[i].second) << c.label;
        }
    }

    // Never more than nine lines, never fewer than four, over many magnitudes.
    for (double span = 1e-4; span < 1e7; span *= 1.37)
    {
        const auto n = TrChartGeometry::autoTicks (-span * 0.3, span * 0.7).size();
        EXPECT_GE (n, 4u) << span;
        EXPECT_LE (n, 9u) << span;
    }
}

TEST (ChartGeometry, ExplicitTicksAtTheRangeEndsAreKept)
{
    const struct
    {
        const char* label;
        double value;
        TrChart::Axis a;
        bool kept;
    } cases[] {
        { "-60 on -60..0", -60, axis (-60, 0), true },
        { "0 on -60..0", 0, axis (-60, 0), true },
        { "just outside, within 1e-3 of the span", -60.05, axis (-60, 0), true },
        { "outside", -60.1, axis (-60, 0), false },
        { "20 Hz on 20 Hz..24 kHz", 20, axis (20, 24000, true), true },
        { "40 kHz on 20 Hz..24 kHz", 40000, axis (20, 24000, true), false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrChartGeometry::tickInRange (c.value, c.a), c.kept) << c.label;
}

TEST (ChartGeometry, HoverNumbersReadAsFrequenciesOnAHertzAxisAndWithTheUnitOtherwise)
{
    const auto hz = axis (20, 24000, true, "Hz");
    const struct
    {
        double value;
        TrChart::Axis a;
        const char* text;
    } cases[] {
        { 150.37, hz, "150 Hz" },
        { 2345.6, hz, "2.35 kHz" },
        { 12345, hz, "12.3 kHz" },
        { 45.26, hz, "45.3 Hz" },
        { 99.96, hz, "100.0 Hz" },
        { 1000, hz, "1.00 kHz" },
        { -62.4, axis (-120, 0, false, "dB re fundamental"), "-62.4 dB re fundamental" },
        { -6.02, axis (-120, 0, false, "dB"), "-6.02 dB" },
        { 3.14159, axis (0, 10), "3.14" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrChartGeometry::formatAxisValue (c.value, c.a), c.text) << c.value;
}

TEST (ChartGeometry, ADragZoomsOnlyWhenItIsWideEnoughInPixelsAndInRange)
{
    const Plot plot { 46, 10, 744, 362 };
    const auto freq = axis (20, 24000, true);
    const auto lin = axis (0, 100);
    const auto at = [&] (double f) { return plot.x + static_cast<float> (f) * plot.width; };
    const auto logAt = [&] (double f) { return std::pow (10.0, std::log10 (20.0) + f * std::log10 (1200.0)); };

    const struct
    {
        const char* label;
        float x0, x1;
        TrChart::Axis current;
        double fullSpan;
        bool zooms;
        double lo, hi;
    } cases[] {
        { "a quarter to three quarters, log", at (0.25), at (0.75), freq, 23980, true, logAt (0.25), logAt (0.75) },
        { "dragged leftwards", at (0.75), at (0.25), freq, 23980, true, logAt (0.25), logAt (0.75) },
        { "7 px", 300, 307, freq, 23980, false, 0, 0 },
        { "8 px on a wide log range", 300, 308, freq, 23980, true, logAt (254.0 / 744.0), logAt (262.0 / 744.0) },
        { "beyond the plot, clamped", 0, 2000, lin, 100, true, 0, 100 },
        { "narrower than x1.02", at (0.2), at (0.8), axis (1000, 1010, true), 23980, false, 0, 0 },
        { "linear, a tenth", at (0.1), at (0.2), lin, 100, true, 10, 20 },
        { "linear, under 1e-4 of the full span", at (0.1), at (0.9), axis (50, 50.005), 100, false, 0, 0 },
    };

    for (const auto& c : cases)
    {
        const auto zoom = TrChartGeometry::zoomForDrag (c.x0, c.x1, plot, c.current, c.fullSpan);
        ASSERT_EQ (zoom.has_value(), c.zooms) << c.label;
        if (zoom)
        {
            EXPECT_NEAR (zoom->first, c.lo, std::abs (c.lo) * 1e-5 + 1e-9) << c.label;
            EXPECT_NEAR (zoom->second, c.hi, std::abs (c.hi) * 1e-5 + 1e-9) << c.label;
        }
    }
}
