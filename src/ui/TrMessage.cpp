#include "TrMessage.h"

#include "UxFonts.h"
#include "UxPanelTheme.h"

using namespace UxPanelTheme;

namespace
{
constexpr float textInset = 30.0f;

juce::Font textFont() { return UxFonts::getGoogleSansFlexFont (13.0f, 500); }
}

TrMessage::TrMessage (const juce::String& titleText, const juce::String& bodyText, bool error)
    : title (titleText), text (bodyText), accent (error ? Colours::mute : Colours::gold)
{
    setWantsKeyboardFocus (true);
}

void TrMessage::show (juce::Component* anyComponentInTheWindow, const juce::String& title, const juce::String& text, bool error)
{
    if (anyComponentInTheWindow == nullptr)
        return;

    auto* top = anyComponentInTheWindow->getTopLevelComponent();
    auto* panel = new TrMessage (title, text, error);
    top->addChildComponent (panel);
    panel->placed = true;
    panel->setBounds (top->getLocalBounds());
    panel->setAlwaysOnTop (true);
    panel->setVisible (true);
    panel->toFront (true);
    // Modal, so that keys reach it even when the window hands its focus back to the content.
    panel->enterModalState (true);
}

void TrMessage::dismiss()
{
    juce::MessageManager::callAsync ([weak = juce::Component::SafePointer<TrMessage> (this)] {
        delete weak.getComponent();
    });
}

float TrMessage::cardWidthFor (float panelWidth)
{
    return panelWidth - 80.0f < 320.0f ? 320.0f : juce::jmin (460.0f, panelWidth - 80.0f);
}

float TrMessage::textHeightFor (const juce::String& bodyText, float width)
{
    juce::AttributedString attributed;
    attributed.append (bodyText, textFont(), Colours::textSecondary);
    attributed.setWordWrap (juce::AttributedString::byWord);
    juce::TextLayout laidOut;
    laidOut.createLayout (attributed, width);
    return laidOut.getHeight();
}

TrMessage::Layout TrMessage::layoutFor (float panelWidth, float panelHeight, float textHeight)
{
    const auto cw = cardWidthFor (panelWidth);
    const auto th = juce::jlimit (18.0f, 220.0f, textHeight + 2.0f);
    const auto ch = th + 148.0f;

    Layout l;
    l.card = juce::Rectangle<float> (cw, ch).withCentre ({ panelWidth * 0.5f, panelHeight * 0.5f });
    l.title = { l.card.getX() + textInset, l.card.getY() + 28.0f, cw - 2.0f * textInset, 18.0f };
    l.text = { l.card.getX() + textInset, l.card.getY() + 62.0f, cw - 2.0f * textInset, th };
    l.button = { l.card.getRight() - 30.0f - 112.0f, l.card.getBottom() - 26.0f - 36.0f, 112.0f, 36.0f };
    return l;
}

void TrMessage::resized()
{
    const auto w = static_cast<float> (getWidth());
    layout = layoutFor (w, static_cast<float> (getHeight()), textHeightFor (text, cardWidthFor (w) - 2.0f * textInset));
}

void TrMessage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (static_cast<juce::uint8> (0x8c)));

    const auto card = layout.card;
    for (int n = 12; n >= 1; --n)
    {
        const auto grow = static_cast<float> (n);
        g.setColour (juce::Colours::black.withAlpha ((1.0f - grow / 13.0f) * 0.088f));
        g.fillRoundedRectangle (card.expanded (grow).translated (0.0f, 0.35f * grow), 16.0f + grow);
    }

    g.setGradientFill (juce::ColourGradient (Colours::surfaceTop, card.getX(), card.getY(), Colours::bgPanel, card.getX(),
                                             card.getBottom(), false));
    g.fillRoundedRectangle (card, 16.0f);

    {
        juce::Graphics::ScopedSaveState state (g);
        juce::Path shape;
        shape.addRoundedRectangle (card, 16.0f);
        g.reduceClipRegion (shape);
        g.setColour (accent.withAlpha (static_cast<juce::uint8> (0x24)));
        g.fillRect (card.withHeight (44.0f));
    }

    g.setColour (Colours::borderHi);
    g.drawRoundedRectangle (card.reduced (1.5f), 15.0f, 1.0f);
    g.setColour (Colours::borderLo);
    g.drawRoundedRectangle (card.reduced (0.5f), 16.0f, 1.0f);

    g.setColour (accent);
    g.fillRoundedRectangle (card.withHeight (2.5f).reduced (16.0f, 0.0f), 1.25f);

    g.setFont (UxFonts::getGoogleSansFlexFont (12.5f, 700));
    drawTracked (g, title.toUpperCase(), layout.title, juce::Justification::centredLeft, 1.8f);

    g.setColour (Colours::textSecondary);
    g.setFont (textFont());
    const auto lines = juce::jmax (1, static_cast<int> (layout.text.getHeight() / textFont().getHeight()));
    g.drawFittedText (text, layout.text.toNearestInt(), juce::Justification::topLeft, lines, 1.0f);

    materialButton (g, layout.button, layout.button.getHeight() * 0.5f, false, accent, buttonHover);
    g.setColour (buttonHover ? accent : Colours::textPrimary);
    g.setFont (UxFonts::getGoogleSansFlexFont (12.0f, 700));
    drawTracked (g, "OK", layout.button, juce::Justification::centred, 1.5f);
}

void TrMessage::mouseMove (const juce::MouseEvent& e)
{
    const auto over = layout.button.contains (e.position);
    if (over != buttonHover)
    {
        buttonHover = over;
        repaint();
    }
}

void TrMessage::mouseExit (const juce::MouseEvent&)
{
    if (buttonHover)
    {
        buttonHover = false;
        repaint();
    }
}

void TrMessage::mouseDown (const juce::MouseEvent& e)
{
    if (layout.button.contains (e.position) || ! layout.card.contains (e.position))
        dismiss();
}

bool TrMessage::keyPressed (const juce::KeyPress& key)
{
    const auto plain = key.getModifiers().withoutMouseButtons() == juce::ModifierKeys();
    if (plain && (key.getKeyCode() == juce::KeyPress::returnKey || key.getKeyCode() == juce::KeyPress::escapeKey))
        dismiss();
    return true;
}

void TrMessage::parentHierarchyChanged()
{
    // The window went away with the panel still up: nobody else owns it.
    if (placed && getParentComponent() == nullptr)
        delete this;
}
