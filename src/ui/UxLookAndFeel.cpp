#include "UxLookAndFeel.h"

#include "UxFonts.h"

using namespace UxPanelTheme;

UxLookAndFeel::UxLookAndFeel()
{
    // The framework's own dialogs (the plugin file chooser) take their colours from the scheme.
    setColourScheme ({ Colours::bgPanel, Colours::well, Colours::surfaceTop, Colours::line, Colours::textPrimary,
                       Colours::gold, Colours::bgDeep, Colours::gold.withAlpha (0.35f), Colours::textPrimary });
    setColour (juce::ResizableWindow::backgroundColourId, Colours::bgDeep);
    setColour (juce::TextButton::textColourOffId, Colours::textPrimary);
    setColour (juce::TextButton::textColourOnId, Colours::gold);
    setColour (juce::ToggleButton::textColourId, Colours::textPrimary);
    setColour (juce::Label::textColourId, Colours::textPrimary);
    setColour (juce::TextEditor::textColourId, Colours::textPrimary);
    setColour (juce::TextEditor::highlightColourId, Colours::gold.withAlpha (0.3f));
    setColour (juce::CaretComponent::caretColourId, Colours::gold);
    setColour (juce::ComboBox::textColourId, Colours::textPrimary);
    setColour (juce::ComboBox::arrowColourId, Colours::textSecondary);
    setColour (juce::TooltipWindow::backgroundColourId, Colours::bgPanel);
    setColour (juce::TooltipWindow::textColourId, Colours::textPrimary);
    setColour (juce::TooltipWindow::outlineColourId, Colours::line);
    setColour (juce::ScrollBar::thumbColourId, Colours::textDim);
    setColour (juce::TreeView::backgroundColourId, juce::Colours::transparentBlack);
    setColour (juce::ListBox::backgroundColourId, Colours::well);
}

bool UxLookAndFeel::drawsWithOwnFace (const juce::Font& font)
{
    const auto name = font.getTypefaceName();
    return name.isEmpty() || name == "Figtree" || name == "Google Sans Flex" || name == juce::Font::getDefaultSansSerifFontName();
}

int UxLookAndFeel::weightForStyle (const juce::String& style)
{
    for (const auto& word : juce::StringArray::fromTokens (style, " -_", ""))
        if (word.equalsIgnoreCase ("Bold"))
            return 700;
    return 400;
}

juce::Typeface::Ptr UxLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    if (drawsWithOwnFace (font))
        if (auto typeface = UxFonts::getGoogleSansFlexTypeface (UxFonts::faceForWeight (weightForStyle (font.getTypefaceStyle()))))
            return typeface;

    return juce::LookAndFeel_V4::getTypefaceForFont (font);
}

void UxLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar&, int x, int y, int width, int height, bool vertical,
                                   int thumbStart, int thumbSize, bool isMouseOver, bool isMouseDown)
{
    if (thumbSize <= 0)
        return;

    const auto thumb = vertical ? juce::Rectangle<int> (x, thumbStart, width, thumbSize)
                                : juce::Rectangle<int> (thumbStart, y, thumbSize, height);
    const auto alpha = isMouseDown ? 0.9f : (isMouseOver ? 0.7f : 0.45f);
    g.setColour (Colours::textDim.withAlpha (alpha));
    const auto r = thumb.toFloat().reduced (vertical ? 3.0f : 2.0f, vertical ? 2.0f : 3.0f);
    g.fillRoundedRectangle (r, juce::jmin (r.getWidth(), r.getHeight()) * 0.5f);
}

void UxLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&, bool highlighted, bool down)
{
    const auto area = button.getLocalBounds().toFloat().reduced (0.5f);
    materialButton (g, area, juce::jmin (8.0f, area.getHeight() * 0.5f), button.getToggleState() || down, Colours::gold,
                    highlighted && button.isEnabled());
}

juce::Font UxLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return UxFonts::getGoogleSansFlexFont (juce::jmin (13.0f, static_cast<float> (buttonHeight) * 0.5f), 600);
}

void UxLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool)
{
    g.setFont (getTextButtonFont (button, button.getHeight()));
    auto colour = button.getToggleState() || highlighted ? Colours::gold : Colours::textPrimary;
    if (! button.isEnabled())
        colour = Colours::textDim;
    g.setColour (colour);
    g.drawFittedText (button.getButtonText(), button.getLocalBounds().reduced (6, 2), juce::Justification::centred, 1);
}

void UxLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool highlighted, bool down)
{
    const auto boxSize = juce::jmin (16.0f, static_cast<float> (button.getHeight()) - 4.0f);
    drawTickBox (g, button, 2.0f, (static_cast<float> (button.getHeight()) - boxSize) * 0.5f, boxSize, boxSize,
                 button.getToggleState(), button.isEnabled(), highlighted, down);

    g.setColour (button.isEnabled() ? Colours::textPrimary : Colours::textDim);
    g.setFont (UxFonts::getGoogleSansFlexFont (13.0f, 500));
    g.drawFittedText (button.getButtonText(), button.getLocalBounds().withTrimmedLeft (juce::roundToInt (boxSize) + 10),
                      juce::Justification::centredLeft, 1);
}

void UxLookAndFeel::drawTickBox (juce::Graphics& g, juce::Component&, float x, float y, float w, float h, bool ticked,
                                 bool isEnabled, bool highlighted, bool)
{
    const juce::Rectangle<float> box (x, y, w, h);
    recessedWell (g, box, 4.0f);
    if (highlighted && isEnabled)
    {
        g.setColour (Colours::gold.withAlpha (0.35f));
        g.drawRoundedRectangle (box.reduced (0.5f), 4.0f, 1.0f);
    }

    if (ticked)
    {
        juce::Path tick;
        tick.startNewSubPath (box.getX() + w * 0.25f, box.getCentreY());
        tick.lineTo (box.getX() + w * 0.43f, box.getY() + h * 0.7f);
        tick.lineTo (box.getX() + w * 0.76f, box.getY() + h * 0.3f);
        g.setColour (isEnabled ? Colours::gold : Colours::textDim);
        g.strokePath (tick, juce::PathStrokeType (1.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void UxLookAndFeel::drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area, juce::Colour, bool isOpen,
                                              bool isMouseOver)
{
    const auto r = area.reduced (area.getWidth() * 0.2f);
    g.setColour (isMouseOver ? Colours::gold : Colours::textSecondary);
    g.drawLine (r.getX(), r.getCentreY(), r.getRight(), r.getCentreY(), 1.5f);
    if (! isOpen)
        g.drawLine (r.getCentreX(), r.getY(), r.getCentreX(), r.getBottom(), 1.5f);
}

void UxLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    recessedWell (g, juce::Rectangle<int> (width, height).toFloat(), 6.0f);
}

void UxLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    if (editor.isEnabled() && editor.hasKeyboardFocus (true) && ! editor.isReadOnly())
    {
        g.setColour (Colours::gold.withAlpha (0.6f));
        g.drawRoundedRectangle (juce::Rectangle<int> (width, height).toFloat().reduced (0.5f), 6.0f, 1.0f);
    }
}

void UxLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                                  int buttonW, int buttonH, juce::ComboBox& box)
{
    const auto area = juce::Rectangle<int> (width, height).toFloat().reduced (0.5f);
    materialButton (g, area, 6.0f, isButtonDown, Colours::gold, box.isMouseOver (true));

    const auto arrowArea = juce::Rectangle<int> (buttonX, buttonY, buttonW, buttonH).toFloat().reduced (buttonW * 0.3f, buttonH * 0.38f);
    juce::Path arrow;
    arrow.addTriangle (arrowArea.getX(), arrowArea.getY(), arrowArea.getRight(), arrowArea.getY(), arrowArea.getCentreX(),
                       arrowArea.getBottom());
    g.setColour (box.isEnabled() ? Colours::textSecondary : Colours::textDim);
    g.fillPath (arrow);
}

juce::Font UxLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    return UxFonts::getGoogleSansFlexFont (juce::jmin (13.0f, static_cast<float> (box.getHeight()) * 0.55f), 500);
}

void UxLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (8, 1, box.getWidth() - 30, box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
}

void UxLookAndFeel::drawLabel (juce::Graphics& g, juce::Label& label)
{
    if (label.isBeingEdited())
        return;

    const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
    g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
    g.setFont (getLabelFont (label));
    const auto area = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());
    g.drawFittedText (label.getText(), area, label.getJustificationType(),
                      juce::jmax (1, static_cast<int> (static_cast<float> (area.getHeight()) / label.getFont().getHeight())),
                      label.getMinimumHorizontalScale());
}

juce::Font UxLookAndFeel::getLabelFont (juce::Label& label)
{
    const auto font = label.getFont();
    if (! drawsWithOwnFace (font))
        return font;
    return UxFonts::getGoogleSansFlexFont (font.getHeight(), weightForStyle (font.getTypefaceStyle()));
}

int UxLookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int tabDepth)
{
    const auto font = UxFonts::getGoogleSansFlexFont (11.0f, 700);
    return juce::jmax (tabDepth, juce::roundToInt (trackedWidth (font, button.getButtonText().toUpperCase(), 1.2f)) + 28);
}

void UxLookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool)
{
    const auto area = button.getActiveArea().toFloat();
    const auto front = button.isFrontTab();
    if (front)
    {
        g.setColour (Colours::gold.withAlpha (static_cast<juce::uint8> (0x1f)));
        g.fillRoundedRectangle (area.reduced (2.0f), 6.0f);
        g.setColour (Colours::gold);
        g.fillRect (area.withTop (area.getBottom() - 2.0f).reduced (8.0f, 0.0f));
    }

    g.setFont (UxFonts::getGoogleSansFlexFont (11.0f, 700));
    g.setColour (front ? Colours::gold : (isMouseOver ? Colours::textPrimary : Colours::textSecondary));
    drawTracked (g, button.getButtonText().toUpperCase(), area, juce::Justification::centred, 1.2f);
}

void UxLookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int w, int h)
{
    g.setColour (Colours::line);
    if (bar.isVertical())
        g.fillRect (w - 1, 0, 1, h);
    else
        g.fillRect (0, h - 1, w, 1);
}
