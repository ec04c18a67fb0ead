#pragma once

#include <juce_graphics/juce_graphics.h>

/** The embedded typefaces: Google Sans Flex in six weights and the monospaced Google Sans Code. */
namespace UxFonts
{
enum class Face
{
    light,
    regular,
    medium,
    semiBold,
    bold,
    extraBold
};

/** The Flex face drawn for a CSS-style weight: up to 350 Light, 450 Regular, 550 Medium,
    650 SemiBold, 750 Bold, above that ExtraBold. */
Face faceForWeight (int weight);

/** Creates every face and loads its glyphs on the calling (message) thread, so that other threads
    drawing text later never fill a typeface's glyph table at the same time. Returns the line that
    says how it went. */
juce::String load();

/** load(), with its line written to the standard error stream, as the window does at start. */
void initialize();

/** Drops the faces; called at shutdown, before the framework's leak checks run. */
void release();

juce::Typeface::Ptr getGoogleSansFlexTypeface();
juce::Typeface::Ptr getGoogleSansFlexTypeface (Face face);
juce::Typeface::Ptr getGoogleSansCodeTypeface();

juce::Font getGoogleSansFlexFont (float height, int weight);

/** The monospaced face for numbers; the Medium Flex face when the code face cannot be made. */
juce::Font monoFont (float height);
}
