#include "ui/TrTheme.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <gtest/gtest.h>

TEST (Theme, TheLogoIsScaledUniformlyIntoTheMiddleOfItsArea)
{
    // A 200 x 100 area: the square mark fills the middle 100 x 100.
    juce::Image image (juce::Image::ARGB, 200, 100, true);
    {
        juce::Graphics g (image);
        TrTheme::drawBrandLogo (g, { 0, 0, 200, 100 }, juce::Colour (0xffe0ad48));
    }

    const struct
    {
        const char* label;
        int x, y;
        bool inked;
    } cases[] {
        { "the ring's top", 100, 4, true },
        { "the ring's left", 52, 50, true },
        { "the ring's right", 147, 50, true },
        { "inside the ring, above the wave", 100, 15, false },
        { "the wave where it starts", 66, 50, true },
        { "left of the mark", 40, 50, false },
        { "right of the mark", 160, 50, false },
        { "a corner of the mark's square", 53, 3, false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (image.getPixelAt (c.x, c.y) == juce::Colour (0xffe0ad48), c.inked) << c.label;
}

TEST (Theme, TrackedTextSpreadsBySpacingBetweenCharactersOnly)
{
    const auto font = UxFonts::getGoogleSansFlexFont (12.0f, 600);
    const auto plain = font.getStringWidthFloat ("A") + font.getStringWidthFloat ("B") + font.getStringWidthFloat ("C");
    EXPECT_FLOAT_EQ (UxPanelTheme::trackedWidth (font, "ABC", 2.0f), plain + 4.0f);
    EXPECT_FLOAT_EQ (UxPanelTheme::trackedWidth (font, "A", 5.0f), font.getStringWidthFloat ("A"));
    EXPECT_FLOAT_EQ (UxPanelTheme::trackedWidth (font, "", 5.0f), 0.0f);
}
