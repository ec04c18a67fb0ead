#include "UxFonts.h"

#include "TrFontData.h"

#include <array>
#include <iostream>
#include <mutex>

namespace
{
struct EmbeddedFace
{
    const char* data;
    int size;
};

constexpr int flexFaceCount = 6;

// In the order of UxFonts::Face, then the code face.
const std::array<EmbeddedFace, flexFaceCount + 1> embedded {
    { { BinaryData::GoogleSansFlexLight_ttf, BinaryData::GoogleSansFlexLight_ttfSize },
      { BinaryData::GoogleSansFlexRegular_ttf, BinaryData::GoogleSansFlexRegular_ttfSize },
      { BinaryData::GoogleSansFlexMedium_ttf, BinaryData::GoogleSansFlexMedium_ttfSize },
      { BinaryData::GoogleSansFlexSemiBold_ttf, BinaryData::GoogleSansFlexSemiBold_ttfSize },
      { BinaryData::GoogleSansFlexBold_ttf, BinaryData::GoogleSansFlexBold_ttfSize },
      { BinaryData::GoogleSansFlexExtraBold_ttf, BinaryData::GoogleSansFlexExtraBold_ttfSize },
      { BinaryData::GoogleSansCodewght_ttf, BinaryData::GoogleSansCodewght_ttfSize } }
};

constexpr int codeIndex = flexFaceCount;

std::mutex facesLock;
std::array<juce::Typeface::Ptr, flexFaceCount + 1> faces;

juce::Typeface::Ptr face (int index)
{
    const std::lock_guard<std::mutex> lock (facesLock);
    auto& slot = faces[static_cast<size_t> (index)];
    if (slot == nullptr)
        slot = juce::Typeface::createSystemTypefaceFor (embedded[static_cast<size_t> (index)].data,
                                                        static_cast<size_t> (embedded[static_cast<size_t> (index)].size));
    return slot;
}

// Every character the window and the exports draw: printable ASCII and Latin-1.
juce::String charactersDrawn()
{
    juce::String text;
    for (juce::juce_wchar c = 32; c < 127; ++c)
        text += juce::String::charToString (c);
    for (juce::juce_wchar c = 0xa0; c <= 0xff; ++c)
        text += juce::String::charToString (c);
    return text + juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x93\xe2\x80\x94\xe2\x80\xa6\xe2\x88\x92\xe2\x80\xa2"));
}

void loadGlyphs (const juce::Typeface::Ptr& typeface)
{
    // The embedded faces number their glyphs by character.
    const auto text = charactersDrawn();
    juce::Path outline;
    for (auto c : text)
        typeface->getOutlineForGlyph (static_cast<int> (c), outline);
    juce::Font (typeface).getStringWidthFloat (text);
}
}

UxFonts::Face UxFonts::faceForWeight (int weight)
{
    if (weight <= 350) return Face::light;
    if (weight <= 450) return Face::regular;
    if (weight <= 550) return Face::medium;
    if (weight <= 650) return Face::semiBold;
    if (weight <= 750) return Face::bold;
    return Face::extraBold;
}

juce::String UxFonts::load()
{
    try
    {
        for (int i = 0; i < static_cast<int> (faces.size()); ++i)
            if (const auto typeface = face (i))
                loadGlyphs (typeface);

        return getGoogleSansFlexTypeface() != nullptr ? "UxFonts: Google Sans Flex fonts loaded successfully"
                                                      : "UxFonts: Failed to load Google Sans Flex font";
    }
    catch (const std::exception& e)
    {
        return juce::String ("UxFonts: Exception while loading fonts: ") + e.what();
    }
}

void UxFonts::initialize()
{
    std::cerr << load() << std::endl;
}

void UxFonts::release()
{
    const std::lock_guard<std::mutex> lock (facesLock);
    for (auto& f : faces)
        f = nullptr;
}

juce::Typeface::Ptr UxFonts::getGoogleSansFlexTypeface()
{
    return getGoogleSansFlexTypeface (Face::regular);
}

juce::Typeface::Ptr UxFonts::getGoogleSansFlexTypeface (Face which)
{
    return face (static_cast<int> (which));
}

juce::Typeface::Ptr UxFonts::getGoogleSansCodeTypeface()
{
    return face (codeIndex);
}

juce::Font UxFonts::getGoogleSansFlexFont (float height, int weight)
{
    if (const auto typeface = getGoogleSansFlexTypeface (faceForWeight (weight)))
        return juce::Font (typeface).withHeight (height);
    return juce::Font (height);
}

juce::Font UxFonts::monoFont (float height)
{
    if (const auto typeface = getGoogleSansCodeTypeface())
        return juce::Font (typeface).withHeight (height);
    return getGoogleSansFlexFont (height, 500);
}
