#include "ui/UxFonts.h"
#include "ui/UxLookAndFeel.h"

#include <gtest/gtest.h>

TEST (Fonts, EachWeightPicksTheNearestFace)
{
    using F = UxFonts::Face;
    const struct
    {
        int weight;
        F face;
    } cases[] { { 100, F::light }, { 300, F::light }, { 350, F::light }, { 351, F::regular }, { 400, F::regular },
                { 450, F::regular }, { 500, F::medium }, { 550, F::medium }, { 600, F::semiBold }, { 650, F::semiBold },
                { 700, F::bold }, { 750, F::bold }, { 751, F::extraBold }, { 900, F::extraBold } };

    for (const auto& c : cases)
        EXPECT_EQ (UxFonts::faceForWeight (c.weight), c.face) << c.weight;
}

TEST (Fonts, TheEmbeddedFacesLoadAndSaySo)
{
    ::testing::internal::CaptureStderr();
    UxFonts::initialize();
    EXPECT_EQ (::testing::internal::GetCapturedStderr(), "UxFonts: Google Sans Flex fonts loaded successfully\n");

    // Six distinct Flex faces, heavier ones wider, and a monospaced code face.
    const auto text = juce::String ("Harmonic distortion");
    float previous = 0.0f;
    for (const auto weight : { 300, 400, 500, 600, 700, 800 })
    {
        const auto font = UxFonts::getGoogleSansFlexFont (20.0f, weight);
        EXPECT_EQ (font.getTypefacePtr(), UxFonts::getGoogleSansFlexTypeface (UxFonts::faceForWeight (weight))) << weight;
        EXPECT_EQ (font.getHeight(), 20.0f);
        const auto width = font.getStringWidthFloat (text);
        EXPECT_GT (width, previous) << weight;
        previous = width;
    }
    EXPECT_EQ (UxFonts::getGoogleSansFlexTypeface()->getName(), "Google Sans Flex");

    const auto mono = UxFonts::monoFont (12.0f);
    EXPECT_EQ (mono.getTypefacePtr(), UxFonts::getGoogleSansCodeTypeface());
    EXPECT_FLOAT_EQ (mono.getStringWidthFloat ("1111"), mono.getStringWidthFloat ("WWWW"));
}

TEST (LookAndFeel, PlainAndPlaceholderFontsDrawWithTheFlexFaceBoldOrRegular)
{
    UxLookAndFeel look;
    const auto flex = [] (int weight) { return UxFonts::getGoogleSansFlexTypeface (UxFonts::faceForWeight (weight)); };

    const struct
    {
        const char* label;
        juce::Font font;
        juce::Typeface::Ptr expected;
    } cases[] {
        { "no name", juce::Font (13.0f), flex (400) },
        { "no name, bold", juce::Font (13.0f, juce::Font::bold), flex (700) },
        { "Figtree", juce::Font ("Figtree", 13.0f, juce::Font::plain), flex (400) },
        { "Google Sans Flex bold", juce::Font ("Google Sans Flex", 13.0f, juce::Font::bold), flex (700) },
        { "placeholder", juce::Font (juce::Font::getDefaultSansSerifFontName(), 13.0f, juce::Font::plain), flex (400) },
        { "SemiBold is not the word Bold", juce::Font ("Google Sans Flex", "SemiBold", 13.0f), flex (400) },
        { "bold italic", juce::Font ("Figtree", "bold Italic", 13.0f), flex (700) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (look.getTypefaceForFont (c.font), c.expected) << c.label;

    const juce::Font other ("DejaVu Sans", 13.0f, juce::Font::plain);
    EXPECT_FALSE (UxLookAndFeel::drawsWithOwnFace (other));
    EXPECT_NE (look.getTypefaceForFont (other), flex (400)) << "any other font keeps the framework's choice";
}

TEST (LookAndFeel, MenuItemsHaveTheirIdealSizes)
{
    UxPanelTheme::MenuLookAndFeel menu;
    int w = 0, h = 0;
    menu.getIdealPopupMenuItemSize ({}, true, 20, w, h);
    EXPECT_EQ (w, 50) << "separator";

    const juce::String text ("Load plugin...");
    menu.getIdealPopupMenuItemSize (text, false, 20, w, h);
    EXPECT_EQ (h, 26);
    EXPECT_EQ (w, juce::roundToInt (UxFonts::getGoogleSansFlexFont (13.0f, 500).getStringWidthFloat (text)) + 64);
    EXPECT_EQ (menu.getPopupMenuBorderSize(), 6);
}
