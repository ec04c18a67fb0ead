#include "ui/TrMessage.h"
#include "ui/UxFonts.h"

#include <gtest/gtest.h>

TEST (MessagePanel, TheCardIsAtLeast320AndAtMost460WideWith40PxMargins)
{
    const struct
    {
        float panelWidth, cardWidth;
    } cases[] { { 300, 320 }, { 399, 320 }, { 400, 320 }, { 500, 420 }, { 540, 460 }, { 1440, 460 } };

    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (TrMessage::cardWidthFor (c.panelWidth), c.cardWidth) << c.panelWidth;
}

TEST (MessagePanel, TitleTextAndButtonHaveTheirPlacesInTheCentredCard)
{
    // 1440 x 900, text laid out 40 px high: card 460 x (42 + 148), centred.
    const auto l = TrMessage::layoutFor (1440, 900, 40);
    EXPECT_EQ (l.card, juce::Rectangle<float> (490, 355, 460, 190));
    EXPECT_EQ (l.title, juce::Rectangle<float> (520, 383, 400, 18));
    EXPECT_EQ (l.text, juce::Rectangle<float> (520, 417, 400, 42));
    EXPECT_EQ (l.button, juce::Rectangle<float> (808, 483, 112, 36));

    // 300 x 500: a 320 card wider than the panel, still centred.
    const auto narrow = TrMessage::layoutFor (300, 500, 16);
    EXPECT_EQ (narrow.card, juce::Rectangle<float> (-10, 500.0f / 2 - 166.0f / 2, 320, 166));
}

TEST (MessagePanel, TheTextBoxIsBetween18And220PxHigh)
{
    UxFonts::initialize();
    const auto width = TrMessage::cardWidthFor (1440) - 60;
    const auto fortyLines = juce::String::repeatedString ("line\n", 40);

    const struct
    {
        const char* label;
        juce::String text;
        float height;
    } cases[] { { "one word", "Failed", 18 }, { "forty lines", fortyLines, 220 } };

    for (const auto& c : cases)
    {
        const auto laidOut = TrMessage::textHeightFor (c.text, width);
        EXPECT_FLOAT_EQ (TrMessage::layoutFor (1440, 900, laidOut).text.getHeight(), c.height) << c.label << " laid out " << laidOut;
    }

    // Two lines need more than one.
    const auto one = TrMessage::textHeightFor ("word", width);
    const auto two = TrMessage::textHeightFor ("word\nword", width);
    EXPECT_GT (two, one * 1.8f);
}
