#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The modal message panel: dims the whole window and shows a card with a title, a text and "OK". */
class TrMessage final : public juce::Component
{
public:
    /** Covers the top-level ancestor of the component with a new panel, which deletes itself when
        dismissed; error selects the alert accent. */
    static void show (juce::Component* anyComponentInTheWindow, const juce::String& title, const juce::String& text,
                      bool error);

    /** Removes and deletes the panel on a later message, if it still exists then. */
    void dismiss();

    struct Layout
    {
        juce::Rectangle<float> card, title, text, button;
    };

    /** Where the card and its parts go in a panel of the given size, for text laid out as textHeight. */
    static Layout layoutFor (float panelWidth, float panelHeight, float textHeight);

    /** The card's width for a panel of this width. */
    static float cardWidthFor (float panelWidth);

    /** The height of the text when wrapped at the width given. */
    static float textHeightFor (const juce::String& text, float width);

    const Layout& getLayout() const { return layout; }
    const juce::String& getTitle() const { return title; }
    const juce::String& getText() const { return text; }
    juce::Colour getAccent() const { return accent; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void parentHierarchyChanged() override;

private:
    TrMessage (const juce::String& title, const juce::String& text, bool error);

    juce::String title, text;
    juce::Colour accent;
    Layout layout;
    bool buttonHover = false;
    bool placed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMessage)
};
