#include "ui/TrHold.h"

#include <gtest/gtest.h>

namespace
{
TrChart::Trace trace (const juce::String& name, juce::Colour colour)
{
    TrChart::Trace t;
    t.name = name;
    t.colour = colour;
    t.points = { { 100.0, -1.0 }, { 1000.0, -2.0 } };
    t.fill = true;
    t.bandPartner = 1;
    return t;
}

/** A CURVE tab with a response measured at 44.1 kHz while the RATE chip has moved to 48 kHz. */
TrViewState measuredAt44k()
{
    TrViewState state;
    state.tab = TrTab::curve;
    state.chips.sampleRate = 48000.0;
    TrCurveResult r;
    r.pluginName = "EQ";
    r.sampleRate = 44100.0;
    state.stores.curves.push_back (r);
    return state;
}
}

TEST (Hold, CopiesNamedTracesGreyedAndNamedWithTheRateTheyWereMeasuredAt)
{
    auto state = measuredAt44k();
    TrChart::Model shown;
    shown.xAxis.label = "Hz";
    shown.yAxis.label = "dB";
    const juce::Colour gold { 0xffe0ad48 };
    shown.traces = { trace ("A", gold), trace ("", gold), trace ("HOLD B @ 96 kHz", gold) };

    TrHold::toggle (state, shown);
    const auto& held = state.held[static_cast<size_t> (TrTab::curve)];
    ASSERT_TRUE (held.held);
    EXPECT_EQ (held.xLabel, "Hz");
    EXPECT_EQ (held.yLabel, "dB");
    ASSERT_EQ (held.traces.size(), 1u) << "unnamed and already held traces are not copied";

    const auto& copy = held.traces[0];
    EXPECT_EQ (copy.name, "HOLD A @ 44.1 kHz");
    EXPECT_EQ (copy.points.size(), 2u);
    EXPECT_EQ (copy.colour.getAlpha(), 0x80);
    EXPECT_NEAR (copy.colour.getHue(), gold.getHue(), 0.01f);
    EXPECT_NEAR (copy.colour.getSaturation(), gold.getSaturation() * 0.3f, 0.01f);
    EXPECT_NEAR (copy.colour.getBrightness(), gold.getBrightness(), 0.01f);
    EXPECT_FLOAT_EQ (copy.thickness, 1.2f);
    EXPECT_FALSE (copy.glow);
    EXPECT_FALSE (copy.fill);
    EXPECT_EQ (copy.bandPartner, -1);

    TrHold::toggle (state, shown);
    EXPECT_FALSE (state.held[static_cast<size_t> (TrTab::curve)].held) << "a second click clears it";
    EXPECT_TRUE (state.held[static_cast<size_t> (TrTab::curve)].traces.empty());
}

TEST (Hold, NothingIsHeldWithoutResultsAndOnlyFrequencyAxesNameARate)
{
    TrViewState empty;
    TrChart::Model shown;
    shown.traces = { trace ("A", juce::Colours::red) };
    TrHold::toggle (empty, shown);
    EXPECT_FALSE (empty.held[0].held);

    auto state = measuredAt44k();
    state.tab = TrTab::dynamics;
    state.stores.dynamics.resize (1);
    shown.xAxis.label = "input dBFS";
    TrHold::toggle (state, shown);
    ASSERT_TRUE (state.held[static_cast<size_t> (TrTab::dynamics)].held);
    EXPECT_EQ (state.held[static_cast<size_t> (TrTab::dynamics)].traces[0].name, "HOLD A");
}
