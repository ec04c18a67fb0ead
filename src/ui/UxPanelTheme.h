#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The window's palette and the drawing helpers every panel, card and export shares. */
namespace UxPanelTheme
{
namespace Colours
{
inline const juce::Colour bgDeep { 0xff0c0b0e };
inline const juce::Colour bgPanel { 0xff151319 };
inline const juce::Colour surfaceTop { 0xff25222b };
inline const juce::Colour well { 0xff0f0e12 };
inline const juce::Colour borderHi { 0xff38333f };
inline const juce::Colour borderLo { 0xff060508 };
inline const juce::Colour line { 0xff242028 };
inline const juce::Colour lineSubtle { 0xff1a171f };
inline const juce::Colour textPrimary { 0xffeef0f3 };
inline const juce::Colour textSecondary { 0xff9aa0ae };
inline const juce::Colour textDim { 0xff5c6170 };
inline const juce::Colour gold { 0xffe0ad48 };
inline const juce::Colour steel { 0xff6f9fd6 };
inline const juce::Colour magenta { 0xffc46bb0 };
inline const juce::Colour solo { 0xffd3c55a };
inline const juce::Colour mute { 0xffc25a44 };
}

/** Moves each colour channel towards white: c becomes 255 - (255 - c) / (1 + amount); alpha kept. */
juce::Colour brightened (juce::Colour c, float amount);

/** Single-line text with extra space after every character but the last. */
void drawTracked (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
                  juce::Justification justification, float trackingPx);

/** The width drawTracked takes for the text in the graphics' current font. */
float trackedWidth (const juce::Font& font, const juce::String& text, float trackingPx);

/** A raised rounded face; lit adds the accent glow, hover brightens it. */
void materialButton (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius, bool lit,
                     juce::Colour accent, bool hover);

/** A sunken box for read-outs and lists. */
void recessedWell (juce::Graphics& g, juce::Rectangle<float> area, float cornerRadius);

/** The window's background: the deep fill with a soft glow of the tint; strength scales the glow. */
void ambientBackdrop (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour tint, float strength);

/** The popup-menu look of the chip menus and the export menu. */
class MenuLookAndFeel : public juce::LookAndFeel_V4
{
public:
    MenuLookAndFeel();

    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;
    void drawPopupMenuSectionHeader (juce::Graphics&, const juce::Rectangle<int>& area,
                                     const juce::String& sectionName) override;
    juce::Font getPopupMenuFont() override;
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                    int& idealWidth, int& idealHeight) override;
    int getPopupMenuBorderSize() override;
};
}
