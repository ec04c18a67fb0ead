#include "ui/TrMainLayout.h"

#include <gtest/gtest.h>

// Expected rectangles worked out by hand from the layout rules, not from the code.
TEST (MainLayout, EveryPartSitsWhereTheLayoutRulesPutIt)
{
    using R = juce::Rectangle<int>;
    const struct
    {
        const char* label;
        int w, h;
        R header, bar, rail, content, strip, panel, verdict, readouts, chart, measure, hold, live, exportButton, checkup, chip0, chip3,
            entry0, entry6;
    } cases[] {
        { "default 1440 x 900", 1440, 900,
          { 0, 0, 1440, 64 }, { 0, 844, 1440, 56 }, { 0, 64, 108, 780 }, { 108, 64, 1332, 780 }, { 162, 10, 1068, 44 },
          { 112, 64, 1316, 780 }, { 118, 70, 1304, 30 }, { 118, 100, 1304, 42 }, { 118, 142, 1304, 696 },
          { 1278, 850, 150, 44 }, { 1106, 850, 78, 44 }, { 1192, 850, 78, 44 }, { 1342, 14, 86, 36 }, { 1242, 14, 92, 36 },
          { 12, 854, 96, 36 }, { 324, 854, 96, 36 }, { 10, 64, 88, 64 }, { 10, 496, 88, 64 } },
        { "smallest window 1100 x 700", 1100, 700,
          { 0, 0, 1100, 64 }, { 0, 644, 1100, 56 }, { 0, 64, 108, 580 }, { 108, 64, 992, 580 }, { 162, 10, 728, 44 },
          { 112, 64, 976, 580 }, { 118, 70, 964, 30 }, { 118, 100, 964, 42 }, { 118, 142, 964, 496 },
          { 938, 650, 150, 44 }, { 766, 650, 78, 44 }, { 852, 650, 78, 44 }, { 1002, 14, 86, 36 }, { 902, 14, 92, 36 },
          { 12, 654, 96, 36 }, { 324, 654, 96, 36 }, { 10, 64, 88, 64 }, { 10, 496, 88, 64 } },
        // Too small for everything: the header takes what there is, the strip gives up its width.
        { "tiny 300 x 100", 300, 100,
          { 0, 0, 300, 64 }, { 0, 64, 300, 36 }, { 0, 64, 108, 0 }, { 108, 64, 192, 0 }, { 162, 10, 0, 44 },
          { 112, 64, 176, 0 }, { 118, 70, 164, 0 }, { 118, 70, 164, 0 }, { 118, 70, 164, 0 },
          { 138, 70, 150, 24 }, { -34, 70, 78, 24 }, { 52, 70, 78, 24 }, { 202, 14, 86, 36 }, { 102, 14, 92, 36 },
          { 12, 74, 96, 16 }, { 324, 74, 96, 16 }, { 10, 64, 88, 64 }, { 10, 496, 88, 64 } },
    };

    for (const auto& c : cases)
    {
        const auto l = TrMainLayout::forSize (c.w, c.h);
        const std::pair<const char*, std::pair<R, R>> parts[] {
            { "header", { l.header, c.header } },       { "bottom bar", { l.bottomBar, c.bar } },
            { "rail", { l.rail, c.rail } },             { "content", { l.content, c.content } },
            { "slot strip", { l.slotStrip, c.strip } }, { "panel", { l.panel, c.panel } },
            { "verdict band", { l.verdictBand, c.verdict } }, { "read-out strip", { l.readoutStrip, c.readouts } },
            { "chart", { l.chart, c.chart } },          { "MEASURE", { l.measure, c.measure } },
            { "HOLD", { l.hold, c.hold } },             { "LIVE", { l.live, c.live } },
            { "EXPORT", { l.exportButton, c.exportButton } }, { "CHECKUP", { l.checkup, c.checkup } },
            { "chip 0", { l.chip (0), c.chip0 } },      { "chip 3", { l.chip (3), c.chip3 } },
            { "rail entry 0", { l.railEntry (0), c.entry0 } }, { "rail entry 6", { l.railEntry (6), c.entry6 } },
        };
        for (const auto& [name, rects] : parts)
            EXPECT_EQ (rects.first, rects.second) << c.label << ": " << name << " is " << rects.first.toString() << ", expected "
                                                  << rects.second.toString();
    }
}
