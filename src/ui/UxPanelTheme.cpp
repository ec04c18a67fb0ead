#include "UxPanelTheme.h"

#include "UxFonts.h"

#include <cmath>

namespace UxPanelTheme
{
juce::Colour brightened (juce::Colour c, float amount)
{
    const auto lift = [amount] (juce::uint8 v) {
        return static_cast<juce::uint8> (std::lround (255.0 - (255.0 - v) / (1.0 + static_cast<double> (amount))));
    };
    return juce::Colour (lift (c.getRed()), lift (c.getGreen()), lift (c.getBlue()), c.getAlpha());
}

float trackedWidth (const juce::Font& font, const juce::String& text, float trackingPx)
{
    if (text.isEmpty())
        return 0.0f;

    float total = 0.0f;
    for (auto c : text)
        total += font.getStringWidthFloat (juce::String::charToString (c)) + trackingPx;
    return total - trackingPx;
}

void drawTracked (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
                  juce::Justification justification, float trackingPx)
{
    const auto font = g.getCurrentFont();
    const auto total = trackedWidth (font, text, trackingPx);

    auto x = area.getX();
    if (justification.testFlags (juce::Justification::horizontallyCentred))
        x = area.getCentreX() - total * 0.5f;
    else if (justification.testFlags (juce::Justification::right))
        x = area.getRight() - total;

    const juce::Justification eachGlyph (justification.getOnlyVerticalFlags() | juce::Justification::left);
    for (auto c : text)
    {
        const auto glyph = juce::String::charToString (c);
        const auto width = font.getStringWidthFloat (glyph);
        g.drawText (glyph, juce::Rectangle<float> (x, area.getY(), width + 2.0f, area.getHeight()), eachGlyph, false);
        x += width + trackingPx;
    }
}

void materialButton (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius, bool lit,
                     juce::Colour accent, bool hover)
{
    const auto top = hover ? Colours::surfaceTop.withMultipliedBrightness (1.12f) : Colours::surfaceTop;
    g.setGradientFill (juce::ColourGradient (top, area.getX(), area.getY(),
                                             top.withMultipliedBrightness (0.85f), area.getX(), area.getBottom(), false));
    g.fillRoundedRectangle (area, cornerRadius);

    if (lit)
    {
        g.setGradientFill (juce::ColourGradient (accent.withAlpha (static_cast<juce::uint8> (0x3d)), area.getX(), area.getY(),
                                                 accent.withAlpha (static_cast<juce::uint8> (0x12)), area.getX(), area.getBottom(), false));
        g.fillRoundedRectangle (area, cornerRadius);
    }

    g.setColour (Colours::borderHi);
    g.drawLine (area.getX() + cornerRadius, area.getY() + 0.5f, area.getRight() - cornerRadius, area.getY() + 0.5f, 1.0f);

    const auto outlineAlpha = lit ? 0.85f : (hover ? 0.6f : 0.3f);
    g.setColour (accent.withAlpha (outlineAlpha));
    g.drawRoundedRectangle (area.reduced (0.5f), cornerRadius, 1.0f);
}

void recessedWell (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius)
{
    g.setGradientFill (juce::ColourGradient (Colours::well.darker (0.25f), area.getX(), area.getY(),
                                             Colours::well.brighter (0.08f), area.getX(), area.getBottom(), false));
    g.fillRoundedRectangle (area, cornerRadius);

    g.setColour (juce::Colours::black.withAlpha (static_cast<juce::uint8> (0x66)));
    g.drawRoundedRectangle (area.reduced (0.8f), juce::jmax (0.0f, cornerRadius - 0.8f), 1.2f);

    g.setColour (juce::Colours::white.withAlpha (static_cast<juce::uint8> (0x06)));
    g.drawLine (area.getX() + cornerRadius, area.getBottom() - 0.5f, area.getRight() - cornerRadius, area.getBottom() - 0.5f, 1.0f);

    g.setColour (Colours::line);
    g.drawRoundedRectangle (area.reduced (0.5f), cornerRadius, 1.0f);
}

void ambientBackdrop (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour tint, float strength)
{
    g.setColour (Colours::bgDeep);
    g.fillRect (area);

    const auto alpha = [strength] (int a) { return juce::jlimit (0.0f, 1.0f, static_cast<float> (a) / 255.0f * strength); };
    juce::ColourGradient glow (tint.withAlpha (alpha (0x1a)), area.getCentreX(), area.getY() - area.getHeight() * 0.15f,
                               tint.withAlpha (0.0f), area.getCentreX(), area.getBottom() + area.getHeight() * 0.1f, true);
    glow.addColour (0.35, tint.withAlpha (alpha (0x0a)));
    glow.addColour (0.7, tint.withAlpha (alpha (0x02)));
    g.setGradientFill (glow);
    g.fillRect (area);
}

//==============================================================================
MenuLookAndFeel::MenuLookAndFeel()
{
    setColour (juce::PopupMenu::backgroundColourId, Colours::bgPanel.withAlpha (static_cast<juce::uint8> (0xf7)));
    setColour (juce::PopupMenu::textColourId, Colours::textPrimary);
    setColour (juce::PopupMenu::headerTextColourId, Colours::textDim);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, Colours::gold.withAlpha (static_cast<juce::uint8> (0x2e)));
    setColour (juce::PopupMenu::highlightedTextColourId, Colours::textPrimary);
}

void MenuLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    const auto area = juce::Rectangle<float> (0.0f, 0.0f, static_cast<float> (width), static_cast<float> (height));
    const auto base = Colours::bgPanel.withAlpha (static_cast<juce::uint8> (0xf7));
    g.setGradientFill (juce::ColourGradient (base.brighter (0.06f), 0.0f, 0.0f, base, 0.0f, area.getBottom(), false));
    g.fillRect (area);
    g.setColour (juce::Colours::white.withAlpha (static_cast<juce::uint8> (0x24)));
    g.drawRect (area, 1.0f);
}

void MenuLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                                         bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                                         const juce::String& shortcutKeyText, const juce::Drawable*, const juce::Colour* textColour)
{
    if (isSeparator)
    {
        g.setColour (Colours::line);
        g.fillRect (area.reduced (10, 0).withHeight (1).withCentre (area.getCentre()));
        return;
    }

    auto r = area.toFloat().reduced (4.0f, 1.0f);
    if (isHighlighted && isActive)
    {
        g.setColour (findColour (juce::PopupMenu::highlightedBackgroundColourId));
        g.fillRoundedRectangle (r, 5.0f);
    }

    if (isTicked)
    {
        g.setColour (Colours::gold);
        g.fillEllipse (juce::Rectangle<float> (6.0f, 6.0f).withCentre ({ r.getX() + 12.0f, r.getCentreY() }));
    }

    auto colour = textColour != nullptr ? *textColour : Colours::textPrimary;
    if (! isActive)
        colour = Colours::textDim;
    g.setColour (colour);
    g.setFont (getPopupMenuFont());

    auto textArea = r.withTrimmedLeft (26.0f).withTrimmedRight (hasSubMenu ? 22.0f : 8.0f);
    g.drawFittedText (text, textArea.toNearestInt(), juce::Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        g.setColour (Colours::textDim);
        g.drawText (shortcutKeyText, textArea, juce::Justification::centredRight, true);
    }

    if (hasSubMenu)
    {
        const auto x = r.getRight() - 12.0f;
        juce::Path arrow;
        arrow.addTriangle (x - 3.0f, r.getCentreY() - 4.0f, x - 3.0f, r.getCentreY() + 4.0f, x + 2.0f, r.getCentreY());
        g.setColour (Colours::textSecondary);
        g.fillPath (arrow);
    }
}

void MenuLookAndFeel::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                                  const juce::String& sectionName)
{
    g.setFont (UxFonts::getGoogleSansFlexFont (9.5f, 700));
    g.setColour (Colours::textDim);
    drawTracked (g, sectionName.toUpperCase(), area.toFloat().withTrimmedLeft (14.0f).withTrimmedTop (4.0f),
                 juce::Justification::centredLeft, 1.2f);
}

juce::Font MenuLookAndFeel::getPopupMenuFont()
{
    return UxFonts::getGoogleSansFlexFont (13.0f, 500);
}

void MenuLookAndFeel::getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int, int& idealWidth,
                                                 int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = 50;
        idealHeight = 9;
        return;
    }

    idealHeight = 26;
    idealWidth = juce::roundToInt (getPopupMenuFont().getStringWidthFloat (text)) + 64;
}

int MenuLookAndFeel::getPopupMenuBorderSize()
{
    return 6;
}
}
