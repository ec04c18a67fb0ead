#include "TrMainComponent.h"

#include "TrAuditionView.h"
#include "TrMessage.h"
#include "UxFonts.h"

// The main component's audition: LISTEN, the keys, the device watch and the overlay.

namespace
{
namespace C = UxPanelTheme::Colours;

/** The overlay's box, at the top left of the plot, clear of the axis labels. */
juce::Rectangle<float> overlayBox (const TrMainLayout& layout)
{
    const auto chart = layout.chart.toFloat();
    return { chart.getX() + 60.0f, chart.getY() + 44.0f, 330.0f, 96.0f };
}
}

void TrMainComponent::toggleAudition()
{
    if (audition.isPlaying())
    {
        audition.stop();
        repaint();
        return;
    }

    if (engine.isBusy() || loadedCount() == 0)
        return;

    if (liveMode)
        setLiveMode (false);

    if (const auto error = audition.start (TrAuditionView::matchFor (view), view.chips.nullSignalFile,
                                           TrAuditionView::wantedRateFor (view));
        error.isNotEmpty())
    {
        TrMessage::show (this, "Could not start playback", error, true);
        repaint();
        return;
    }

    // So that 1, 2, N, 0 and Space reach the window.
    grabKeyboardFocus();
    startTimer (liveTimerMs);
    repaint();
}

void TrMainComponent::pollAudition()
{
    if (const auto problem = audition.deviceProblem(); problem.isNotEmpty())
    {
        audition.stop();
        TrMessage::show (this, "Playback stopped", problem, true);
        repaint();
        return;
    }
    // Only the meter moves; the chart under it stays as drawn.
    repaint (overlayBox (layout).getSmallestIntegerContainer());
}

void TrMainComponent::followSlotsWhileAuditioning()
{
    if (! audition.isPlaying() || ! audition.slotsChanged())
        return;

    // A swapped plugin must be prepared for the device before it plays: start again, in the
    // same mode, with whatever match the null test still holds for the plugins now loaded.
    audition.stop();
    toggleAudition();
}

void TrMainComponent::paintAudition (juce::Graphics& g)
{
    const auto overlay = TrAuditionView::overlayFor (audition.mode.load(), audition.deviceTypeName(),
                                                     audition.getDeviceSampleRate(), TrAuditionView::nullTestRateFor (view));
    const auto box = overlayBox (layout);

    g.setColour (C::bgDeep.withAlpha (static_cast<juce::uint8> (0xe6)));
    g.fillRoundedRectangle (box, 8.0f);
    g.setColour (overlay.colour.withAlpha (static_cast<juce::uint8> (0x8c)));
    g.drawRoundedRectangle (box.reduced (0.5f), 8.0f, 1.0f);

    auto inner = box.reduced (14.0f, 10.0f);
    auto top = inner.removeFromTop (30.0f);
    g.setColour (overlay.colour);
    g.setFont (UxFonts::getGoogleSansFlexFont (24.0f, 800));
    UxPanelTheme::drawTracked (g, overlay.title, top.removeFromLeft (110.0f), juce::Justification::centredLeft, 2.0f);
    g.setColour (C::textSecondary);
    g.setFont (UxFonts::getGoogleSansFlexFont (10.5f, 700));
    UxPanelTheme::drawTracked (g, overlay.keys, top, juce::Justification::centredRight, 1.0f);

    // The level of what is heard on the left output, over the 60 dB below full scale.
    inner.removeFromTop (10.0f);
    const auto meter = inner.removeFromTop (10.0f);
    g.setColour (C::textDim.withAlpha (static_cast<juce::uint8> (0x40)));
    g.fillRoundedRectangle (meter, 3.0f);
    g.setColour (overlay.colour);
    g.fillRoundedRectangle (meter.withWidth (meter.getWidth() * TrAuditionView::meterFill (audition.outputLevelDb.load())), 3.0f);

    inner.removeFromTop (8.0f);
    g.setColour (C::textDim);
    g.setFont (UxFonts::getGoogleSansFlexFont (10.0f, 600));
    g.drawFittedText (overlay.device, inner.toNearestInt(), juce::Justification::centredLeft, 1);
}
