#pragma once

#include "chart/TrChart.h"
#include "ui/TrReadout.h"
#include "verdicts/TrVerdict.h"

#include <juce_graphics/juce_graphics.h>

/** The share-ready images: the report card (chart, verdicts, read-outs), the scoreboard (the same
    numbers as big figures) and the checkup card. Laid out on 960 x 540 units, drawn at a scale. */
namespace TrReportCard
{
struct Meta
{
    juce::String tabName;
    /** The loaded plugins' names, joined by the caller with versus. */
    juce::String pluginNames;
    juce::String settingsSummary;
    juce::String date;
};

struct ScoreRow
{
    int slot = 0;
    /** The plugin's name, or "A - B" for a comparison. */
    juce::String name;
    juce::String error;
    std::vector<ReadoutChip> chips;
    TrVerdict::Grade grade = TrVerdict::Grade::none;
    juce::String text, detail;
};

struct CheckupRow
{
    int slot = 0;
    juce::String pluginName;
    TrVerdict::Checkup checkup;
};

/** Between the plugin names of a comparison on the cards the command line makes. */
inline constexpr const char* versus = "  vs  ";

/** Between the loaded plugins' names on the cards, videos and clipboard images the window makes. */
inline constexpr const char* windowVersus = "   vs   ";

/** The address the watermark invites to. */
inline constexpr const char* webAddress = "TESTRIG.AUDIO";

juce::Image render (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                    const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float scale);

/** Draws the card into an existing image, whatever its size (a video frame of exactly its own
    size), with the chart layers asked for (TrChartView::Layers). */
void renderInto (juce::Image& image, const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                 const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float scale, int chartLayers);

/** Where the card draws its chart, in pixels at the scale, for this many verdict and read-out rows. */
juce::Rectangle<float> chartBounds (size_t rowCount, float scale);

juce::Image renderScoreboard (const std::vector<ScoreRow>& rows, const Meta& meta, float scale);

/** 1920 x 1080: one panel per plugin with its overall grade and the three categories. */
juce::Image renderCheckup (const std::vector<CheckupRow>& rows, const Meta& meta);

/** Writes the image as PNG through the safe write; the target on success, else an empty file. */
juce::File writePng (const juce::Image& image, const juce::File& target);

juce::File exportPng (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                      const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float scale, const juce::File& target);

juce::File exportScoreboardPng (const std::vector<ScoreRow>& rows, const Meta& meta, float scale, const juce::File& target);
}
