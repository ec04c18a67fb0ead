#include "TrChart.h"

TrChart::Axis TrChart::frequencyAxis (double sampleRate)
{
    Axis a;
    a.logScale = true;
    a.min = 20.0;
    a.max = juce::jmax (sampleRate * 0.5, 24000.0);
    a.label = "Hz";
    return a;
}

const std::vector<std::pair<double, juce::String>>& TrChart::frequencyTicks()
{
    static const std::vector<std::pair<double, juce::String>> ticks {
        { 20.0, "20" },   { 30.0, "" },      { 50.0, "50" },    { 70.0, "" },      { 100.0, "100" },   { 200.0, "200" },
        { 300.0, "" },    { 500.0, "500" },  { 700.0, "" },     { 1000.0, "1k" },  { 2000.0, "2k" },   { 3000.0, "" },
        { 5000.0, "5k" }, { 7000.0, "" },    { 10000.0, "10k" }, { 20000.0, "20k" }, { 40000.0, "40k" }
    };
    return ticks;
}
