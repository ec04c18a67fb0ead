#pragma once

#include <juce_graphics/juce_graphics.h>

#include <utility>
#include <vector>

/** The picture of a measurement as plain data in axis units: what the chart view, the report card,
    the reveal video and the data export all draw or write. No fonts, no pixels, no desktop: a model
    can be copied to any thread. */
namespace TrChart
{
struct Point
{
    double x = 0.0;
    double y = 0.0;
};

struct Axis
{
    /** Values map through log10, each first floored at 1e-9. */
    bool logScale = false;
    double min = 0.0;
    double max = 1.0;
    /** Drawn upper-cased; also the unit of hover read-outs ("Hz" formats as frequency). */
    juce::String label;
    /** Explicit grid lines; empty means automatic. A label starting with "=" marks an emphasised line. */
    std::vector<std::pair<double, juce::String>> ticks;
};

struct Trace
{
    /** Legend text and hover caption; unnamed traces are drawn but neither listed nor hovered. */
    juce::String name;
    juce::Colour colour { 0x00000000 };
    std::vector<Point> points;
    float thickness = 2.2f;
    bool glow = true;
    bool fill = false;
    /** Index of a trace in the same model; the area between the two is filled. -1: no band. */
    int bandPartner = -1;
};

struct Marker
{
    double x = 0.0;
    double y = 0.0;
    juce::String label;
    juce::Colour colour { 0x00000000 };
    /** Drawn in the alert colour instead of colour. */
    bool alert = false;
};

/** The default x axis: log frequency from 20 Hz to the larger of half the rate and 24 kHz. */
Axis frequencyAxis (double sampleRate);

struct Model
{
    Axis xAxis = frequencyAxis (48000.0);
    Axis yAxis;
    std::vector<Trace> traces;
    std::vector<Marker> markers;
    /** A short notice drawn as a pill in the plot's top-left corner; empty: none. */
    juce::String badge;
    /** Fraction of the plot width, from the left, inside which traces and markers appear. */
    float reveal = 1.0f;
};

/** The grid of a log frequency axis without explicit ticks: 20 Hz to 40 kHz, labelled at 1-2-5. */
const std::vector<std::pair<double, juce::String>>& frequencyTicks();
}
