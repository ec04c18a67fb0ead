#include "TrHold.h"

#include "TrSettingsSummary.h"

namespace
{
const juce::String heldPrefix = "HOLD ";
}

TrChart::Trace TrHold::heldCopy (const TrChart::Trace& trace, const juce::String& rateSuffix)
{
    TrChart::Trace copy;
    copy.name = heldPrefix + trace.name + rateSuffix;
    copy.points = trace.points;
    copy.colour = juce::Colour::fromHSV (trace.colour.getHue(), trace.colour.getSaturation() * 0.3f, trace.colour.getBrightness(), 1.0f)
                      .withAlpha (static_cast<juce::uint8> (0x80));
    copy.thickness = 1.2f;
    copy.glow = false;
    copy.fill = false;
    copy.bandPartner = -1;
    return copy;
}

void TrHold::toggle (TrViewState& state, const TrChart::Model& shown)
{
    auto& held = state.held[static_cast<size_t> (state.tab)];
    if (held.held)
    {
        held = {};
        return;
    }
    if (! tabHasResults (state))
        return;

    // The rate the results were measured at, which the RATE chip may have left since.
    const auto suffix = shown.xAxis.label == "Hz" ? " @ " + rateLabel (measuredRate (state)) : juce::String();

    TrHeldTraces copy;
    copy.xLabel = shown.xAxis.label;
    copy.yLabel = shown.yAxis.label;
    copy.harmonicsMode = state.chips.harmonicsMode;
    copy.spectrumView = state.chips.spectrumView;
    for (const auto& t : shown.traces)
        if (t.name.isNotEmpty() && ! t.name.startsWith (heldPrefix))
            copy.traces.push_back (heldCopy (t, suffix));
    copy.held = ! copy.traces.empty();
    if (copy.held)
        held = std::move (copy);
}
