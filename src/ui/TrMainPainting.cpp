#include "TrMainComponent.h"

#include "TrAnalyzerTabs.h"
#include "TrTheme.h"
#include "TrWindowButtons.h"
#include "UxFonts.h"

// How the main component draws its frame: everything here reads state and decides nothing.

namespace
{
namespace C = UxPanelTheme::Colours;

juce::Font flex (float height, int weight)
{
    return UxFonts::getGoogleSansFlexFont (height, weight);
}

void drawButtonFace (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text, bool available, bool hover)
{
    UxPanelTheme::materialButton (g, area, 7.0f, false, available ? C::gold : C::textDim, available && hover);
    g.setFont (flex (11.5f, 800));
    g.setColour (available ? C::textPrimary : C::textDim);
    UxPanelTheme::drawTracked (g, text, area, juce::Justification::centred, 1.5f);
}

/** The empty chart's headline and the line under it. */
std::pair<juce::String, juce::String> emptyHint (const TrViewState& view)
{
    const auto loaded = static_cast<int> (view.slots[0].loaded) + static_cast<int> (view.slots[1].loaded);
    if (loaded == 0)
        return { "DROP A PLUGIN TO START", "drag a .vst3 or .lv2 onto a slot above - measurements land here" };
    if (view.tab == TrTab::nullAb && loaded < 2)
        return { "HIT MEASURE FOR A PRECISION PASS", "load a plugin into BOTH slots to compare" };
    if (view.tab == TrTab::perf || view.tab == TrTab::checks)
        return { "HIT MEASURE FOR A PRECISION PASS", "hit MEASURE - this analyzer runs offline only" };
    return { "HIT MEASURE FOR A PRECISION PASS", "hit MEASURE for a precision pass, or flip LIVE to tweak" };
}
}

void TrMainComponent::paint (juce::Graphics& g)
{
    UxPanelTheme::ambientBackdrop (g, getLocalBounds().toFloat(), C::gold, 1.0f);
    paintHeader (g);
    paintRail (g);
    paintContent (g);
    paintBottomBar (g);
}

void TrMainComponent::paintHeader (juce::Graphics& g)
{
    const auto header = layout.header.toFloat();
    const juce::Rectangle<float> logo { 14.0f, header.getCentreY() - 16.0f, 32.0f, 32.0f };
    TrTheme::drawBrandLogo (g, logo, C::gold);
    g.setFont (flex (15.0f, 800));
    g.setColour (C::textPrimary);
    UxPanelTheme::drawTracked (g, "TESTRIG", { logo.getRight() + 8.0f, logo.getY(), 100.0f, logo.getHeight() },
                               juce::Justification::centredLeft, 2.0f);

    for (const auto& b : TrWindowButtons::all())
        if (b.inHeader)
            drawButtonFace (g, (layout.*(b.area)).toFloat(), b.name, b.available, hoveredButton == b.name);
}

void TrMainComponent::paintRail (juce::Graphics& g)
{
    const auto& tabs = analyzerTabs();
    for (int i = 0; i < trTabCount; ++i)
    {
        const auto area = layout.railEntry (i).toFloat();
        if (area.getBottom() > static_cast<float> (layout.rail.getBottom()))
            break;

        const auto active = static_cast<int> (view.tab) == i;
        UxPanelTheme::materialButton (g, area, 8.0f, active, C::gold, hoveredTab == i);
        g.setColour (active ? C::gold : (hoveredTab == i ? C::textPrimary : C::textSecondary));
        g.setFont (flex (10.5f, 800));
        g.drawFittedText (tabs[static_cast<size_t> (i)].name, area.withTrimmedBottom (area.getHeight() * 0.5f).toNearestInt(),
                          juce::Justification::centredBottom, 1, 0.8f);
        g.setColour (active ? C::textPrimary.withAlpha (0.8f) : C::textDim);
        g.setFont (flex (9.5f, 500));
        g.drawFittedText (tabs[static_cast<size_t> (i)].subtitle,
                          area.withTrimmedTop (area.getHeight() * 0.5f + 3.0f).reduced (4.0f, 0.0f).toNearestInt(),
                          juce::Justification::centredTop, 1, 0.8f);
    }
}

void TrMainComponent::paintContent (juce::Graphics& g)
{
    UxPanelTheme::recessedWell (g, layout.panel.toFloat(), 10.0f);
    if (tabHasResults (view))
        return;

    const auto [headline, line] = emptyHint (view);
    const auto chart = layout.chart.toFloat();
    const auto centre = chart.getCentreY();
    g.setColour (C::textSecondary);
    g.setFont (flex (15.0f, 800));
    UxPanelTheme::drawTracked (g, headline, chart.withY (centre - 24.0f).withHeight (24.0f), juce::Justification::centred, 2.5f);
    g.setColour (C::textDim);
    g.setFont (flex (12.0f, 500));
    g.drawText (line, chart.withY (centre + 6.0f).withHeight (20.0f), juce::Justification::centred);
}

void TrMainComponent::paintBottomBar (juce::Graphics& g)
{
    const auto chips = currentChips();
    for (size_t i = 0; i < chips.size(); ++i)
    {
        const auto& chip = chips[i];
        const auto area = layout.chip (static_cast<int> (i)).toFloat();
        const auto clickable = chip.action != nullptr;
        const auto lit = clickable && hoveredChip == static_cast<int> (i);
        UxPanelTheme::materialButton (g, area, 7.0f, false, clickable ? C::steel : C::textDim, lit);

        g.setColour (C::textDim);
        g.setFont (flex (9.0f, 700));
        UxPanelTheme::drawTracked (g, chip.label, area.withHeight (area.getHeight() * 0.45f).withTrimmedTop (4.0f),
                                   juce::Justification::centredBottom, 1.2f);
        g.setColour (clickable ? C::textPrimary : C::textDim);
        g.setFont (flex (12.0f, 700));
        const auto valueArea = area.withTrimmedTop (area.getHeight() * 0.45f).withTrimmedBottom (3.0f);
        g.drawFittedText (chip.value, valueArea.reduced (8.0f, 0.0f).toNearestInt(), juce::Justification::centred, 1, 0.8f);

        if (chip.kind == TrChips::menu && clickable)
        {
            juce::Path triangle;
            const auto x = area.getRight() - 11.0f, y = valueArea.getCentreY();
            triangle.addTriangle (x - 3.0f, y - 1.5f, x + 3.0f, y - 1.5f, x, y + 2.0f);
            g.setColour (C::textDim);
            g.fillPath (triangle);
        }
    }

    for (const auto& b : TrWindowButtons::all())
        if (! b.inHeader)
            drawButtonFace (g, (layout.*(b.area)).toFloat(), b.name, b.available, hoveredButton == b.name);
}

void TrMainComponent::paintOverChildren (juce::Graphics& g)
{
    if (! onboardSeen)
        paintWelcome (g);
    if (hover.visible)
        paintTooltip (g);
}

void TrMainComponent::paintWelcome (juce::Graphics& g)
{
    g.setColour (C::bgDeep.withAlpha (static_cast<juce::uint8> (0xd1)));
    g.fillRect (getLocalBounds());

    const auto card = getLocalBounds().toFloat().withSizeKeepingCentre (560.0f, 250.0f);
    UxPanelTheme::materialButton (g, card, 14.0f, true, C::gold, false);
    g.setColour (C::gold);
    g.setFont (flex (20.0f, 800));
    UxPanelTheme::drawTracked (g, "WELCOME TO TESTRIG", card.withHeight (70.0f).withTrimmedTop (22.0f), juce::Justification::centred, 3.0f);

    const char* const steps[] { "1.  DROP A PLUGIN ONTO A SLOT ABOVE", "2.  PICK A QUESTION ON THE LEFT RAIL",
                                "3.  HIT MEASURE - EVERY RESULT ENDS IN A PLAIN-LANGUAGE VERDICT" };
    g.setColour (C::textPrimary);
    g.setFont (flex (12.5f, 700));
    auto y = card.getY() + 84.0f;
    for (const auto* step : steps)
    {
        UxPanelTheme::drawTracked (g, step, { card.getX() + 40.0f, y, card.getWidth() - 80.0f, 22.0f },
                                   juce::Justification::centredLeft, 0.8f);
        y += 32.0f;
    }
    g.setColour (C::textDim);
    g.setFont (flex (11.0f, 500));
    g.drawText ("(click anywhere to dismiss)", card.withTrimmedTop (card.getHeight() - 44.0f).withTrimmedBottom (16.0f),
                juce::Justification::centred);
}

void TrMainComponent::paintTooltip (juce::Graphics& g)
{
    constexpr float width = 320.0f, pad = 12.0f;
    const auto bodyFont = flex (12.0f, 400);
    juce::AttributedString body;
    body.append (hover.tip.body, bodyFont, C::textSecondary);
    body.setWordWrap (juce::AttributedString::byWord);
    juce::TextLayout text;
    text.createLayout (body, width - 2.0f * pad);

    const auto titleHeight = hover.tip.title.isEmpty() ? 0.0f : 22.0f;
    const auto height = pad * 2.0f + titleHeight + text.getHeight();
    const auto bounds = getLocalBounds().toFloat().reduced (6.0f);

    // Below what it explains when there is room, else above; always inside the window.
    auto y = hover.anchor.getBottom() + 8.0f;
    if (y + height > bounds.getBottom())
        y = hover.anchor.getY() - 8.0f - height;
    const auto x = juce::jlimit (bounds.getX(), juce::jmax (bounds.getX(), bounds.getRight() - width),
                                 hover.anchor.getCentreX() - width * 0.5f);
    const juce::Rectangle<float> box { x, juce::jlimit (bounds.getY(), juce::jmax (bounds.getY(), bounds.getBottom() - height), y), width, height };

    g.setColour (C::bgPanel.withAlpha (0.97f));
    g.fillRoundedRectangle (box, 8.0f);
    g.setColour (C::borderHi);
    g.drawRoundedRectangle (box.reduced (0.5f), 8.0f, 1.0f);

    auto inner = box.reduced (pad);
    if (titleHeight > 0.0f)
    {
        g.setColour (C::gold);
        g.setFont (flex (12.5f, 800));
        g.drawText (hover.tip.title, inner.removeFromTop (titleHeight), juce::Justification::topLeft);
    }
    text.draw (g, inner);
}
