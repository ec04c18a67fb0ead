#include "TrMainComponent.h"

#include "TrAnalyzerTabs.h"
#include "TrReadoutRows.h"
#include "TrSlotStyle.h"
#include "TrTheme.h"
#include "TrWindowButtons.h"
#include "UxFonts.h"
#include "export/TrCheckupRows.h"

// How the main component draws its frame: everything here reads state and decides nothing.

namespace
{
namespace C = UxPanelTheme::Colours;

juce::Font flex (float height, int weight)
{
    return UxFonts::getGoogleSansFlexFont (height, weight);
}

void drawButtonFace (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text, bool hover, bool lit = false)
{
    UxPanelTheme::materialButton (g, area, 7.0f, lit, C::gold, hover);
    g.setFont (flex (11.5f, 800));
    g.setColour (lit ? C::gold : C::textPrimary);
    UxPanelTheme::drawTracked (g, text, area, juce::Justification::centred, 1.5f);
}

/** The empty chart's headline and the line under it. */
std::pair<juce::String, juce::String> emptyHint (const TrViewState& view, bool live)
{
    const auto loaded = static_cast<int> (view.slots[0].loaded) + static_cast<int> (view.slots[1].loaded);
    if (loaded == 0)
        return { "DROP A PLUGIN TO START", "drag a .vst3 or .lv2 onto a slot above - measurements land here" };
    if (view.tab == TrTab::nullAb && loaded < 2)
        return { "HIT MEASURE FOR A PRECISION PASS", "load a plugin into BOTH slots to compare" };
    if (view.tab == TrTab::perf || view.tab == TrTab::checks)
        return { "HIT MEASURE FOR A PRECISION PASS", "hit MEASURE - this analyzer runs offline only" };
    if (live)
        return { "LIVE PREVIEW STARTING...", "tweak the plugin and watch - hit MEASURE for a precision pass" };
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
            drawButtonFace (g, (layout.*(b.area)).toFloat(), b.name, hoveredButton == b.name);
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
    readoutAreas.clear();
    paintVerdictBand (g);
    if (tabHasResults (view))
    {
        paintReadoutStrip (g);
        return;
    }

    const auto [headline, line] = emptyHint (view, liveMode);
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
        // The audition switch is lit while something plays.
        const auto on = chip.kind == TrChips::audition && audition.isPlaying();
        UxPanelTheme::materialButton (g, area, 7.0f, on, on ? C::gold : clickable ? C::steel : C::textDim, lit);

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
    {
        const juce::String name (b.name);
        if (b.inHeader || name == "MEASURE")
            continue;
        const auto held = name == "HOLD" && view.held[static_cast<size_t> (view.tab)].held;
        drawButtonFace (g, (layout.*(b.area)).toFloat(), held ? juce::String ("HELD") : name, hoveredButton == name,
                        name == "LIVE" && liveMode);
    }
    paintMeasureButton (g);
}

void TrMainComponent::paintMeasureButton (juce::Graphics& g)
{
    const auto area = layout.measure.toFloat();
    if (! engine.isBusy())
    {
        UxPanelTheme::materialButton (g, area, 7.0f, true, C::gold, hoveredButton == "MEASURE");
        g.setFont (flex (12.5f, 800));
        g.setColour (C::gold);
        UxPanelTheme::drawTracked (g, "MEASURE", area, juce::Justification::centred, 2.0f);
        return;
    }

    UxPanelTheme::materialButton (g, area, 7.0f, false, C::mute, hoveredButton == "MEASURE");
    auto inner = area.reduced (10.0f, 6.0f);
    g.setColour (C::textPrimary);
    g.setFont (flex (11.5f, 800));
    UxPanelTheme::drawTracked (g, "CANCEL", inner.removeFromTop (inner.getHeight() * 0.45f), juce::Justification::centred, 1.5f);
    g.setColour (C::textDim);
    g.setFont (flex (8.5f, 700));
    UxPanelTheme::drawTracked (g, "RUNNING", inner.removeFromTop (11.0f), juce::Justification::centred, 1.2f);
    const auto bar = inner.withTrimmedTop (2.0f).withHeight (3.0f);
    g.setColour (C::line);
    g.fillRoundedRectangle (bar, 1.5f);
    g.setColour (C::gold);
    g.fillRoundedRectangle (bar.withWidth (bar.getWidth() * juce::jlimit (0.0f, 1.0f, engine.progress.load())), 1.5f);
}

void TrMainComponent::paintVerdictBand (juce::Graphics& g)
{
    const auto band = layout.verdictBand.toFloat();
    if (engine.isBusy())
    {
        UxPanelTheme::recessedWell (g, band.reduced (4.0f, 3.0f), 6.0f);
        g.setColour (C::gold);
        g.setFont (flex (10.5f, 800));
        UxPanelTheme::drawTracked (g, "MEASURING...", band, juce::Justification::centred, 3.0f);
        return;
    }

    const auto rows = liveMode ? gradeHold.apply (buildVerdictRows (view)) : buildVerdictRows (view);
    if (rows.empty())
        return;
    readoutAreas.push_back ({ band, "VERDICT" });

    const auto inner = band.reduced (4.0f, 3.0f);
    const auto count = static_cast<float> (rows.size());
    const auto width = (inner.getWidth() - 8.0f * (count - 1.0f)) / count;
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = rows[i];
        const auto box = juce::Rectangle<float> (inner.getX() + static_cast<float> (i) * (width + 8.0f), inner.getY(), width, inner.getHeight());
        const auto colour = TrSlotStyle::gradeColour (static_cast<int> (row.verdict.grade));
        g.setColour (colour.withAlpha (static_cast<juce::uint8> (0x1a)));
        g.fillRoundedRectangle (box, 6.0f);
        g.setColour (colour.withAlpha (static_cast<juce::uint8> (0x66)));
        g.drawRoundedRectangle (box.reduced (0.5f), 6.0f, 1.0f);

        auto text = box.reduced (8.0f, 0.0f);
        const auto comparison = row.slot < 0;
        g.setFont (flex (11.5f, 700));
        g.setColour (comparison ? C::textPrimary : TrSlotStyle::slotColour (row.slot));
        g.drawText (TrSlotStyle::slotLetter (row.slot), text.removeFromLeft (comparison ? 30.0f : 16.0f), juce::Justification::centredLeft);

        auto line = row.verdict.text;
        if (rows.size() == 1 && row.verdict.detail.isNotEmpty())
            line << "  -  " << row.verdict.detail;
        g.setColour (C::textPrimary);
        g.setFont (flex (12.0f, 700));
        g.drawFittedText (line, text.toNearestInt(), juce::Justification::centredLeft, 1, 0.85f);
    }
}

void TrMainComponent::paintReadoutStrip (juce::Graphics& g)
{
    const auto rows = buildReadoutRows (view);
    if (rows.empty())
        return;

    const auto strip = layout.readoutStrip.toFloat().reduced (10.0f, 4.0f);
    const auto rowHeight = strip.getHeight() / static_cast<float> (rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = rows[i];
        auto area = strip.withY (strip.getY() + rowHeight * static_cast<float> (i)).withHeight (rowHeight);
        const auto comparison = row.slot < 0;
        g.setFont (flex (11.5f, 700));
        g.setColour (comparison ? C::textPrimary : TrSlotStyle::slotColour (row.slot));
        g.drawText (TrSlotStyle::slotLetter (row.slot), area.removeFromLeft (comparison ? 34.0f : 18.0f), juce::Justification::centredLeft);

        if (row.error.isNotEmpty())
        {
            g.setColour (C::mute);
            g.setFont (flex (10.5f, 600));
            g.drawFittedText (row.error, area.toNearestInt(), juce::Justification::centredLeft, 1, 0.85f);
            continue;
        }

        auto x = area.getX() + 6.0f;
        std::vector<std::pair<float, juce::String>> starts;
        for (const auto& chip : row.chips)
        {
            starts.push_back ({ x, chip.label });
            const auto drawPart = [&] (const juce::String& text, const juce::Font& font, juce::Colour colour) {
                g.setFont (font);
                g.setColour (colour);
                const auto w = font.getStringWidthFloat (text);
                g.drawText (text, juce::Rectangle<float> (x, area.getY(), w + 1.0f, area.getHeight()), juce::Justification::centredLeft, false);
                x += w + 5.0f;
            };
            const auto valueColour = TrSlotStyle::statusColour (chip.status);
            if (chip.label.isNotEmpty())
                drawPart (chip.label, flex (8.5f, 700), C::textDim);
            drawPart (chip.value, flex (11.0f, 600), valueColour);
            if (chip.flag.isNotEmpty())
                drawPart (chip.flag.toUpperCase(), flex (8.5f, 700), valueColour);
            x += 12.0f;
        }
        for (size_t c = 0; c < starts.size(); ++c)
        {
            const auto end = c + 1 < starts.size() ? starts[c + 1].first - 12.0f : x - 12.0f;
            if (starts[c].second.isNotEmpty())
                readoutAreas.push_back ({ { starts[c].first, area.getY(), end - starts[c].first, area.getHeight() }, starts[c].second });
        }
    }
}

void TrMainComponent::paintOverChildren (juce::Graphics& g)
{
    if (audition.isPlaying())
        paintAudition (g);
    if (checkupShown)
        paintCheckup (g);
    if (! onboardSeen)
        paintWelcome (g);
    if (isCopiedShown())
        paintCopied (g);
    if (hover.visible)
        paintTooltip (g);
}

void TrMainComponent::paintCopied (juce::Graphics& g)
{
    // At the top right of the chart, which is what went to the clipboard.
    const auto chart = layout.chart.toFloat();
    const juce::Rectangle<float> toast { chart.getRight() - 104.0f, chart.getY() + 10.0f, 92.0f, 26.0f };
    g.setColour (C::gold);
    g.fillRoundedRectangle (toast, 13.0f);
    g.setColour (C::bgDeep);
    g.setFont (flex (10.5f, 800));
    UxPanelTheme::drawTracked (g, "COPIED", toast, juce::Justification::centred, 1.5f);
}

void TrMainComponent::paintCheckup (juce::Graphics& g)
{
    checkupTargets.clear();
    g.setColour (C::bgDeep.withAlpha (static_cast<juce::uint8> (0xd1)));
    g.fillRect (getLocalBounds());

    const auto rows = checkupRowsFor (view.stores, loadedNames());
    const auto width = 360.0f * static_cast<float> (juce::jmax<size_t> (1, rows.size())) + 24.0f * static_cast<float> (juce::jmax<size_t> (1, rows.size()) - 1);
    const auto whole = getLocalBounds().toFloat().withSizeKeepingCentre (width, 330.0f);

    g.setColour (C::gold);
    g.setFont (flex (16.5f, 800));
    UxPanelTheme::drawTracked (g, "PLUGIN CHECKUP", whole.withHeight (24.0f), juce::Justification::centred, 3.0f);
    g.setColour (C::textDim);
    g.setFont (flex (10.5f, 500));
    g.drawText ("click a category to see the detail  -  click outside to close", whole.withTrimmedTop (26.0f).withHeight (18.0f),
                juce::Justification::centred);

    const std::pair<const char*, TrTab> categories[] { { "SOUND", TrTab::harmonics }, { "TONE", TrTab::curve }, { "HONESTY", TrTab::checks } };
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& row = rows[i];
        const auto column = juce::Rectangle<float> (whole.getX() + static_cast<float> (i) * 384.0f, whole.getY() + 56.0f, 360.0f, 274.0f);
        UxPanelTheme::recessedWell (g, column, 10.0f);
        auto inner = column.reduced (14.0f, 12.0f);

        g.setFont (flex (12.5f, 800));
        g.setColour (TrSlotStyle::slotColour (row.slot));
        g.drawFittedText (TrSlotStyle::slotLetter (row.slot) + "   " + row.pluginName, inner.removeFromTop (20.0f).toNearestInt(),
                          juce::Justification::centredLeft, 1, 0.85f);

        const auto overall = TrSlotStyle::gradeColour (static_cast<int> (row.checkup.overall.grade));
        g.setColour (overall);
        g.setFont (flex (15.0f, 800));
        g.drawFittedText (row.checkup.overall.text, inner.removeFromTop (40.0f).toNearestInt(), juce::Justification::centredLeft, 2, 0.85f);
        inner.removeFromTop (6.0f);

        const TrVerdict::Verdict* parts[] { &row.checkup.harmonics, &row.checkup.curve, &row.checkup.checks };
        for (size_t c = 0; c < 3; ++c)
        {
            const auto box = inner.removeFromTop (58.0f).reduced (0.0f, 3.0f);
            const auto colour = TrSlotStyle::gradeColour (static_cast<int> (parts[c]->grade));
            g.setColour (colour.withAlpha (static_cast<juce::uint8> (0x1a)));
            g.fillRoundedRectangle (box, 6.0f);
            g.setColour (colour.withAlpha (static_cast<juce::uint8> (0x66)));
            g.drawRoundedRectangle (box.reduced (0.5f), 6.0f, 1.0f);
            auto text = box.reduced (10.0f, 6.0f);
            g.setColour (C::textDim);
            g.setFont (flex (8.5f, 700));
            UxPanelTheme::drawTracked (g, categories[c].first, text.removeFromTop (12.0f), juce::Justification::centredLeft, 1.2f);
            g.setColour (C::textPrimary);
            g.setFont (flex (12.0f, 700));
            g.drawFittedText (parts[c]->text, text.removeFromTop (18.0f).toNearestInt(), juce::Justification::centredLeft, 1, 0.85f);
            g.setColour (C::textSecondary);
            g.setFont (flex (10.0f, 500));
            g.drawFittedText (parts[c]->detail, text.toNearestInt(), juce::Justification::centredLeft, 1, 0.85f);
            checkupTargets.push_back ({ box, categories[c].second });
        }
    }
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
