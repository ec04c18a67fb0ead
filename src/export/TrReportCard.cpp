#include "TrReportCard.h"

#include "TrFileWrite.h"
#include "chart/TrChartView.h"
#include "ui/TrSlotStyle.h"
#include "ui/TrTheme.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <algorithm>

using namespace UxPanelTheme;

namespace
{
constexpr float canvasW = 960.0f, canvasH = 540.0f, side = 24.0f, minLineH = 11.0f;

juce::Font font (float height, int weight)
{
    return UxFonts::getGoogleSansFlexFont (height, weight);
}

/** Draws text from x along a baseline box and returns where the next text starts; never past right. */
float drawRun (juce::Graphics& g, const juce::String& text, const juce::Font& f, juce::Colour colour, float x, float y,
               float height, float right)
{
    if (text.isEmpty() || x >= right)
        return x;
    const auto width = std::min (f.getStringWidthFloat (text) + 1.0f, right - x);
    g.setFont (f);
    g.setColour (colour);
    g.drawText (text, juce::Rectangle<float> (x, y, width, height), juce::Justification::centredLeft, true);
    return x + width;
}

/** Backdrop, brand, title and plugin names, footer with settings and watermark. */
void drawFrame (juce::Graphics& g, const TrReportCard::Meta& meta, const juce::String& title, float s)
{
    ambientBackdrop (g, { 0.0f, 0.0f, canvasW * s, canvasH * s }, Colours::gold, 1.0f);

    TrTheme::drawBrandLogo (g, juce::Rectangle<float> (side, 20.0f, 44.0f, 44.0f) * s, Colours::gold);
    g.setColour (Colours::textPrimary);
    g.setFont (font (20.0f * s, 800));
    drawTracked (g, "TESTRIG", juce::Rectangle<float> (side + 54.0f, 20.0f, 166.0f, 44.0f) * s, juce::Justification::centredLeft, 2.0f * s);

    const auto right = juce::Rectangle<float> (side + 232.0f, 20.0f, canvasW - 2.0f * side - 232.0f, 44.0f);
    g.setColour (Colours::gold);
    g.setFont (font (8.0f * s, 700));
    drawTracked (g, title, juce::Rectangle<float> (right.getX(), right.getY() + 2.0f, right.getWidth(), 10.0f) * s,
                 juce::Justification::centredRight, 1.2f * s);
    // Long names shrink to fit rather than run into the title.
    g.setColour (Colours::textPrimary);
    g.setFont (font (16.0f * s, 600));
    g.drawFittedText (meta.pluginNames, (juce::Rectangle<float> (right.getX(), right.getY() + 16.0f, right.getWidth(), 24.0f) * s).toNearestInt(),
                      juce::Justification::centredRight, 1, 0.6f);

    const auto footerY = canvasH - 26.0f;
    const auto watermark = juce::String ("MEASURED WITH TESTRIG  -  FREE AT ") + TrReportCard::webAddress;
    const auto markFont = font (8.5f * s, 600);
    const auto markWidth = trackedWidth (markFont, watermark, 1.0f * s);
    g.setColour (Colours::textSecondary);
    g.setFont (markFont);
    drawTracked (g, watermark, juce::Rectangle<float> (side, footerY, canvasW - 2.0f * side, 12.0f) * s, juce::Justification::centredRight, 1.0f * s);

    g.setColour (Colours::textDim);
    g.setFont (font (8.5f * s, 500));
    g.drawText (meta.settingsSummary + "   -   " + meta.date,
                juce::Rectangle<float> (side * s, footerY * s, (canvasW - 2.0f * side) * s - markWidth - 16.0f * s, 12.0f * s),
                juce::Justification::centredLeft, true);
}

juce::Image canvas (float s)
{
    return juce::Image (juce::Image::ARGB, juce::roundToInt (canvasW * s), juce::roundToInt (canvasH * s), true);
}

float drawSlotTag (juce::Graphics& g, int slot, float x, float y, float height, float s)
{
    const auto width = (slot < 0 ? 30.0f : 18.0f) * s;
    g.setColour (slot < 0 ? Colours::textPrimary : TrSlotStyle::slotColour (slot));
    g.setFont (font (10.5f * s, 700));
    g.drawText (TrSlotStyle::slotLetter (slot), juce::Rectangle<float> (x, y, width, height), juce::Justification::centredLeft, false);
    return x + width;
}
}

juce::Image TrReportCard::render (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                                  const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float s)
{
    auto image = canvas (s);
    renderInto (image, model, rows, verdicts, meta, s, TrChartView::allLayers);
    return image;
}

namespace
{
constexpr float lineH = 16.0f;

/** The well the chart sits in: whatever the header, the rows and the footer leave. */
juce::Rectangle<float> chartWell (size_t lines)
{
    const auto blockH = std::min (150.0f, lineH * static_cast<float> (lines) + 8.0f);
    return { side, 74.0f, canvasW - 2.0f * side, canvasH - 74.0f - 34.0f - blockH - 8.0f };
}
}

juce::Rectangle<float> TrReportCard::chartBounds (size_t rowCount, float s)
{
    return chartWell (rowCount).reduced (6.0f) * s;
}

void TrReportCard::renderInto (juce::Image& image, const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                               const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float s, int chartLayers)
{
    juce::Graphics g (image);
    g.fillAll (Colours::bgDeep); // an image a pixel larger than the layout has no stale rows
    drawFrame (g, meta, meta.tabName.toUpperCase() + " MEASUREMENT", s);

    const auto lines = static_cast<int> (verdicts.size() + rows.size());
    const auto chartArea = chartWell (verdicts.size() + rows.size());
    recessedWell (g, chartArea * s, 10.0f * s);
    TrChartView::renderChart (g, model, chartBounds (verdicts.size() + rows.size(), s), s, chartLayers);

    // Lines share what room there is, never below a readable height; those that do not fit are
    // left out, and with no rows nothing is drawn.
    auto y = chartArea.getBottom() + 8.0f;
    const auto bottom = canvasH - 34.0f;
    const auto h = lines > 0 ? std::clamp ((bottom - y) / static_cast<float> (lines), minLineH, lineH) : 0.0f;
    const auto right = (canvasW - side) * s;
    const auto fits = [&] { return y + h <= bottom + 0.01f; };

    for (const auto& v : verdicts)
    {
        if (! fits())
            break;
        auto x = drawSlotTag (g, v.slot, side * s, y * s, h * s, s);
        const auto gradeColour = TrSlotStyle::gradeColour (static_cast<int> (v.verdict.grade));
        x = drawRun (g, v.verdict.text, font (10.0f * s, 700), gradeColour, x, y * s, h * s, right);
        if (v.verdict.detail.isNotEmpty())
            drawRun (g, "  -  " + v.verdict.detail, font (11.0f * s, 600), Colours::textPrimary, x, y * s, h * s, right);
        y += h;
    }

    for (const auto& row : rows)
    {
        if (! fits())
            break;
        auto x = drawSlotTag (g, row.slot, side * s, y * s, h * s, s);
        if (row.error.isNotEmpty())
            drawRun (g, row.error, font (10.0f * s, 600), Colours::mute, x, y * s, h * s, right);
        else
            for (const auto& chip : row.chips)
            {
                const auto colour = TrSlotStyle::statusColour (chip.status);
                if (chip.label.isNotEmpty())
                    x = drawRun (g, chip.label, font (8.0f * s, 700), Colours::textDim, x, y * s, h * s, right) + 4.0f * s;
                x = drawRun (g, chip.value, font (10.0f * s, 600), colour, x, y * s, h * s, right);
                if (chip.flag.isNotEmpty())
                    x = drawRun (g, " " + chip.flag.toUpperCase(), font (8.0f * s, 700), colour, x, y * s, h * s, right);
                x += 14.0f * s;
            }
        y += h;
    }
}

juce::Image TrReportCard::renderScoreboard (const std::vector<ScoreRow>& rows, const Meta& meta, float s)
{
    auto image = canvas (s);
    juce::Graphics g (image);
    drawFrame (g, meta, meta.tabName.toUpperCase() + " SCOREBOARD", s);

    const auto body = juce::Rectangle<float> (side, 80.0f, canvasW - 2.0f * side, canvasH - 80.0f - 40.0f);
    const auto columnW = body.getWidth() / static_cast<float> (std::max<size_t> (1, rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = rows[i];
        auto column = juce::Rectangle<float> (body.getX() + columnW * static_cast<float> (i), body.getY(), columnW, body.getHeight()).reduced (6.0f, 0.0f);
        recessedWell (g, column * s, 10.0f * s);
        column = column.reduced (16.0f, 12.0f);

        g.setColour (row.slot < 0 ? Colours::textPrimary : TrSlotStyle::slotColour (row.slot));
        g.setFont (font (9.0f * s, 800));
        drawTracked (g, "SLOT " + TrSlotStyle::slotLetter (row.slot), column.removeFromTop (12.0f) * s, juce::Justification::centredLeft, 1.5f * s);
        g.setColour (Colours::textPrimary);
        g.setFont (font (18.0f * s, 700));
        g.drawFittedText (row.name, (column.removeFromTop (26.0f) * s).toNearestInt(), juce::Justification::centredLeft, 1, 0.6f);
        column.removeFromTop (6.0f);

        const auto judged = row.grade != TrVerdict::Grade::none;
        auto verdictArea = judged ? column.removeFromBottom (34.0f) : juce::Rectangle<float>();
        if (row.error.isNotEmpty())
        {
            g.setColour (Colours::mute);
            g.setFont (font (12.0f * s, 600));
            g.drawFittedText (row.error, (column * s).toNearestInt(), juce::Justification::topLeft, 4);
        }
        else if (! row.chips.empty())
        {
            // Each figure sits under its label; the figures share the column's height, at most 72 units each.
            const auto chipH = std::min (72.0f, column.getHeight() / static_cast<float> (row.chips.size()));
            for (const auto& chip : row.chips)
            {
                auto cell = column.removeFromTop (chipH);
                g.setColour (Colours::textDim);
                g.setFont (font (9.0f * s, 700));
                drawTracked (g, chip.label.toUpperCase(), cell.removeFromTop (12.0f) * s, juce::Justification::centredLeft, 1.2f * s);
                g.setColour (TrSlotStyle::statusColour (chip.status));
                g.setFont (font (std::min (30.0f, cell.getHeight() * 0.7f) * s, 800));
                g.drawFittedText (chip.value + (chip.flag.isNotEmpty() ? "  " + chip.flag.toUpperCase() : juce::String()),
                                  (cell.removeFromTop (std::min (40.0f, cell.getHeight())) * s).toNearestInt(), juce::Justification::centredLeft, 1, 0.5f);
            }
        }
        if (judged)
        {
            g.setColour (TrSlotStyle::gradeColour (static_cast<int> (row.grade)));
            g.setFont (font (12.0f * s, 700));
            g.drawFittedText (row.text + (row.detail.isNotEmpty() ? "  -  " + row.detail : juce::String()), (verdictArea * s).toNearestInt(),
                              juce::Justification::bottomLeft, 2, 0.8f);
        }
    }
    return image;
}

juce::Image TrReportCard::renderCheckup (const std::vector<CheckupRow>& rows, const Meta& meta)
{
    constexpr float s = 2.0f;
    auto image = canvas (s);
    juce::Graphics g (image);
    drawFrame (g, meta, "PLUGIN CHECKUP", s);

    const auto body = juce::Rectangle<float> (side, 80.0f, canvasW - 2.0f * side, canvasH - 80.0f - 40.0f);
    const auto panelW = body.getWidth() / static_cast<float> (std::max<size_t> (1, rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = rows[i];
        auto panel = juce::Rectangle<float> (body.getX() + panelW * static_cast<float> (i), body.getY(), panelW, body.getHeight()).reduced (6.0f, 0.0f);
        recessedWell (g, panel * s, 10.0f * s);
        panel = panel.reduced (18.0f, 14.0f);

        g.setColour (TrSlotStyle::slotColour (row.slot));
        g.setFont (font (9.0f * s, 800));
        drawTracked (g, "SLOT " + TrSlotStyle::slotLetter (row.slot), panel.removeFromTop (12.0f) * s, juce::Justification::centredLeft, 1.5f * s);
        g.setColour (Colours::textPrimary);
        g.setFont (font (18.0f * s, 700));
        g.drawFittedText (row.pluginName, (panel.removeFromTop (26.0f) * s).toNearestInt(), juce::Justification::centredLeft, 1, 0.6f);

        const auto& overall = row.checkup.overall;
        g.setColour (TrSlotStyle::gradeColour (static_cast<int> (overall.grade)));
        g.setFont (font (26.0f * s, 800));
        g.drawFittedText (overall.text, (panel.removeFromTop (70.0f) * s).toNearestInt(), juce::Justification::centredLeft, 2, 0.7f);
        panel.removeFromTop (10.0f);

        const std::pair<const char*, const TrVerdict::Verdict*> parts[] {
            { "SOUND", &row.checkup.harmonics }, { "TONE", &row.checkup.curve }, { "HONESTY", &row.checkup.checks }
        };
        const auto partH = panel.getHeight() / 3.0f;
        for (const auto& [label, verdict] : parts)
        {
            auto cell = panel.removeFromTop (partH);
            g.setColour (Colours::textDim);
            g.setFont (font (8.5f * s, 700));
            drawTracked (g, label, cell.removeFromTop (14.0f) * s, juce::Justification::centredLeft, 1.5f * s);
            g.setColour (TrSlotStyle::gradeColour (static_cast<int> (verdict->grade)));
            g.setFont (font (12.0f * s, 700));
            g.drawFittedText (verdict->text + (verdict->detail.isNotEmpty() ? "   -   " + verdict->detail : juce::String()),
                              (cell * s).toNearestInt(), juce::Justification::topLeft, 3, 0.8f);
        }
    }
    return image;
}

juce::File TrReportCard::writePng (const juce::Image& image, const juce::File& target)
{
    const auto written = TrFileWrite::replace (target, [&image] (juce::OutputStream& out) {
        return juce::PNGImageFormat().writeImageToStream (image, out);
    });
    return written.wasOk() ? target : juce::File();
}

juce::File TrReportCard::exportPng (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                                    const std::vector<TrVerdict::SlotVerdict>& verdicts, const Meta& meta, float scale,
                                    const juce::File& target)
{
    return writePng (render (model, rows, verdicts, meta, scale), target);
}

juce::File TrReportCard::exportScoreboardPng (const std::vector<ScoreRow>& rows, const Meta& meta, float scale, const juce::File& target)
{
    return writePng (renderScoreboard (rows, meta, scale), target);
}
