#include "ui/TrChips.h"

#include <gtest/gtest.h>

namespace
{
juce::String describe (const std::vector<TrChips::Face>& faces)
{
    juce::StringArray parts;
    for (const auto& f : faces)
        parts.add (f.label + "=" + f.value + (f.kind == TrChips::toggle ? "*" : (f.kind == TrChips::audition ? "!" : "")));
    return parts.joinIntoString (" | ");
}

TrViewState on (TrTab tab)
{
    TrViewState s;
    s.tab = tab;
    return s;
}
}

TEST (Chips, EachTabShowsItsChipsInOrderWithTheirValues)
{
    auto multi = on (TrTab::curve);
    multi.chips.multiLevel = true;
    multi.chips.curveView = 2;
    auto sweep = on (TrTab::harmonics);
    sweep.chips.harmonicsMode = 2;
    sweep.chips.thdView = 1;
    auto imd = on (TrTab::harmonics);
    imd.chips.harmonicsMode = 4;
    auto dyn = on (TrTab::dynamics);
    dyn.chips.dynamics.autoBurst = false;
    dyn.chips.dynamics.burstHighDb = 6.0;
    dyn.chips.dynamics.externalSidechain = true;
    auto fileNull = on (TrTab::nullAb);
    fileNull.chips.nullSignalFile = "/music/Drum loop.wav";
    auto rate = on (TrTab::perf);
    rate.chips.sampleRate = 88200.0;
    auto stereo = on (TrTab::checks);
    stereo.chips.channel = TrChannelMode::stereo;

    const struct
    {
        const char* label;
        TrViewState state;
        int audition;
        const char* chips;
    } cases[] {
        { "curve", on (TrTab::curve), TrChips::silent, "RATE=48 kHz | CHANNEL=left | MODE=single* | LEVEL=-12 dBFS | VIEW=magnitude*" },
        { "curve, multi-level", multi, TrChips::silent, "RATE=48 kHz | CHANNEL=left | MODE=multi-level* | LEVEL=-24..0 dBFS | VIEW=group delay*" },
        { "single tone", on (TrTab::harmonics), TrChips::silent, "RATE=48 kHz | CHANNEL=left | MODE=single tone | VIEW=spectrum* | FREQ=1 kHz | LEVEL=-6 dBFS" },
        { "THD vs level", sweep, TrChips::silent, "RATE=48 kHz | CHANNEL=left | MODE=THD vs level | VIEW=H2..H5* | FREQ=1 kHz" },
        { "IMD", imd, TrChips::silent, "RATE=48 kHz | CHANNEL=left | MODE=IMD CCIF | LEVEL=-6 dBFS" },
        { "dynamics", dyn, TrChips::silent, "RATE=48 kHz | CHANNEL=left | VIEW=transfer* | SETTLE=0.4 s | BURST=6 dBFS | SIDECHAIN=on*" },
        { "scope", on (TrTab::scope), TrChips::silent, "RATE=48 kHz | CHANNEL=left | FREQ=1 kHz | LEVEL=-6 dBFS" },
        { "null, playing B", fileNull, 2, "RATE=48 kHz | CHANNEL=left | SIGNAL=Drum loop | LISTEN=B!" },
        { "null, silent", on (TrTab::nullAb), TrChips::silent, "RATE=48 kHz | CHANNEL=left | SIGNAL=pink noise | LISTEN=off!" },
        { "perf", rate, TrChips::silent, "RATE=88.2 kHz" },
        { "checks", stereo, TrChips::silent, "RATE=48 kHz | CHANNEL=stereo" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (describe (TrChips::facesFor (c.state, c.audition)), c.chips) << c.label;
}

TEST (Chips, TooltipsDependOnTheLabelAndForModeAndViewOnTheTab)
{
    const auto curve = on (TrTab::curve);
    const auto harmonics = on (TrTab::harmonics);
    EXPECT_EQ (TrChips::tooltipFor ("RATE", curve).title, "Sample rate");
    EXPECT_EQ (TrChips::tooltipFor ("MODE", curve).title, "Sweep mode");
    EXPECT_EQ (TrChips::tooltipFor ("MODE", harmonics).title, "Measurement type");
    EXPECT_TRUE (TrChips::tooltipFor ("VIEW", curve).body.startsWith ("Magnitude = how loud"));
    EXPECT_TRUE (TrChips::tooltipFor ("VIEW", harmonics).body.startsWith ("'Spectrum' overlays"));
    EXPECT_EQ (TrChips::tooltipFor ("VIEW", harmonics).title, "What the chart shows");
    EXPECT_TRUE (TrChips::tooltipFor ("VIEW", on (TrTab::perf)).title.isEmpty()) << "PERF has no VIEW chip";
    EXPECT_TRUE (TrChips::tooltipFor ("NOPE", curve).title.isEmpty());
    EXPECT_EQ (TrChips::tooltipFor ("LISTEN", on (TrTab::nullAb)).title, "Audition the comparison");
}
