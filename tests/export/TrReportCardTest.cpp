#include "TrScreens.h"
#include "export/TrReportCard.h"
#include "ui/UxFonts.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour traceColour { 0xff00ff00 };

TrChart::Model flatModel()
{
    TrChart::Model m;
    m.yAxis.min = -1.0;
    m.yAxis.max = 1.0;
    TrChart::Trace t;
    t.name = "A  Flat";
    t.colour = traceColour;
    t.glow = false;
    t.thickness = 3.0f;
    for (double f = 20.0; f <= 24000.0; f *= 1.05)
        t.points.push_back ({ f, 0.0 });
    m.traces.push_back (t);
    return m;
}

TrReportCard::Meta meta()
{
    return { "HARMONICS", "A plugin with a name so long that it would run into the title if it were not fitted", "48000 Hz - sine 1000 Hz @ -6 dBFS - N 65536", "2026-12-10" };
}

/** Whether the trace's colour is found in a column through the middle of the image. */
bool traceInColumn (const juce::Image& image, int x)
{
    for (int y = 0; y < image.getHeight(); ++y)
        if (image.getPixelAt (x, y) == traceColour)
            return true;
    return false;
}

}

TEST (ReportCard, RendersAtTheScaleWithTheChartDrawnInside)
{
    UxFonts::initialize();
    const std::vector<ReadoutRow> rows { { 0, {}, { { "THD", "0.250 %" }, { "ALIAS", "-40.0 dB", 3, "audible" } } } };
    const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, { TrVerdict::Grade::ok, "Clean", "THD 0.25 %" } } };

    const struct
    {
        float scale;
        int width, height;
    } cases[] { { 2.0f, 1920, 1080 }, { 4.0f, 3840, 2160 }, { 1.0f, 960, 540 } };
    for (const auto& c : cases)
    {
        const auto image = TrReportCard::render (flatModel(), rows, verdicts, meta(), c.scale);
        EXPECT_EQ (image.getWidth(), c.width);
        EXPECT_EQ (image.getHeight(), c.height);
        EXPECT_TRUE (traceInColumn (image, c.width / 2)) << c.scale;
        EXPECT_EQ (image.getPixelAt (2, 2).getAlpha(), 255) << "the backdrop fills the card";
        if (c.scale == 2.0f)
            TrTest::keepForReview (image, "report-card");
    }

    // No rows at all still renders (nothing to divide).
    const auto empty = TrReportCard::render (flatModel(), {}, {}, meta(), 1.0f);
    EXPECT_TRUE (traceInColumn (empty, 480));
}

TEST (ReportCard, PngFilesReloadAtTheirSizeAndReplaceOldOnes)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("testrig-card", "");
    const auto target = folder.getChildFile ("card.png");
    ASSERT_TRUE (folder.createDirectory());
    ASSERT_TRUE (target.replaceWithText ("not a picture"));

    EXPECT_EQ (TrReportCard::exportPng (flatModel(), {}, {}, meta(), 2.0f, target), target);
    const auto reloaded = juce::ImageFileFormat::loadFrom (target);
    ASSERT_TRUE (reloaded.isValid());
    EXPECT_EQ (reloaded.getWidth(), 1920);
    EXPECT_EQ (reloaded.getHeight(), 1080);
    EXPECT_TRUE (traceInColumn (reloaded, 960));

    const std::vector<TrReportCard::ScoreRow> score {
        { 0, "Alpha", {}, { { "THD", "0.250 %" }, { "TP", "-5.00 dBTP" } }, TrVerdict::Grade::good, "Clean", "" },
        { 1, "Beta", "load failed", {}, TrVerdict::Grade::none, {}, {} }
    };
    const auto board = folder.getChildFile ("card_scoreboard.png");
    EXPECT_EQ (TrReportCard::exportScoreboardPng (score, meta(), 2.0f, board), board);
    const auto boardImage = juce::ImageFileFormat::loadFrom (board);
    EXPECT_EQ (boardImage.getWidth(), 1920);
    TrTest::keepForReview (boardImage, "scoreboard");

    EXPECT_TRUE (TrReportCard::renderScoreboard ({}, meta(), 1.0f).isValid()) << "no rows: header and footer only";
    EXPECT_EQ (TrReportCard::exportPng (flatModel(), {}, {}, meta(), 1.0f, juce::File ("/proc/testrig/card.png")), juce::File());
    folder.deleteRecursively();
}

TEST (ReportCard, ManyRowsStayReadableAndTheCheckupCardShowsEachPlugin)
{
    // Thirty rows cannot all fit under the chart: those that fit are drawn at a readable height.
    std::vector<ReadoutRow> rows (30, ReadoutRow { 0, "failed", {} });
    EXPECT_TRUE (TrReportCard::render (flatModel(), rows, {}, meta(), 2.0f).isValid());

    TrVerdict::Checkup checkup;
    checkup.overall = { TrVerdict::Grade::warn, "Worth a second look", "" };
    checkup.harmonics = { TrVerdict::Grade::good, "Clean", "THD < 0.001 %" };
    checkup.curve = { TrVerdict::Grade::none, "Not measured", "" };
    checkup.checks = { TrVerdict::Grade::warn, "Reports its delay wrong", "says 0, really 64 smp" };
    const auto image = TrReportCard::renderCheckup ({ { 0, "Alpha", checkup }, { 1, "Beta", checkup } }, { "CHECKUP", "Alpha  vs  Beta", "48 kHz - harmonics + response + honesty", "2026-12-10" });
    EXPECT_EQ (image.getWidth(), 1920);
    EXPECT_EQ (image.getHeight(), 1080);
    TrTest::keepForReview (image, "checkup-card");
}
