#include "TrAnalyzerTabs.h"

#include "TrTooltipTable.h"

namespace
{
const TooltipEntry railTips[] {
    { "CURVE", "CURVE - frequency response",
      "Shows which frequencies the plugin makes louder or quieter. A flat line means the tone is untouched; bumps and dips are EQ-like coloring. The VIEW chip also shows phase and group delay (timing shifts per frequency). If something inside the plugin moves on its own (an LFO, modulation), the chart gets a TIME-VARIANT warning because a single response curve cannot describe it." },
    { "HARMONICS", "HARMONICS - distortion",
      "Plays one clean test tone through the plugin and shows every extra frequency that comes out. The stack of peaks above the tone are overtones (harmonics) - that is the 'character' of saturation. Peaks anywhere else are aliasing: digital junk that does not belong to the note. The MODE chip switches to distortion-vs-frequency, distortion-vs-loudness, and two-tone (IMD) tests." },
    { "DYNAMICS", "DYNAMICS - compression behavior",
      "Measures what the plugin does to LEVEL. The curve shows loudness-in versus loudness-out: where it bends is the real threshold, how steep it continues is the real ratio - measured, not what the knobs claim. The attack/release view shows how fast the gain moves around a sudden loud burst." },
    { "SCOPE", "SCOPE - oscilloscope",
      "Watch the actual waveform: the grey trace is the clean test tone going in, the colored trace is what comes out - live, while you turn knobs. Flattened tops mean clipping; the shape of the flattening is the clipper's character." },
    { "NULL / AB", "NULL / AB - are they really different?",
      "Runs the same audio through plugin A and plugin B, matches their loudness, lines them up sample-accurately and subtracts. Whatever is LEFT is the true difference. -60 dB or deeper means practically identical; the spectrum shows WHERE they differ. The LISTEN chip lets you hear A, B or the difference." },
    { "PERF", "PERF - processor cost",
      "How much CPU the plugin actually costs, measured at several buffer sizes. Separates the true per-sample work from fixed per-buffer overhead, and checks whether CPU use explodes when the audio goes silent (a common plugin bug called denormals)." },
    { "CHECKS", "CHECKS - is the plugin honest?",
      "Four trust tests: does it report its delay (latency) correctly so the DAW can compensate? Is its bypass really untouched audio? Does it add a constant DC offset? And does it output hiss or tones when fed pure silence? Bad answers here cause real problems in sessions." },
};
}

const std::array<AnalyzerTab, trTabCount>& analyzerTabs()
{
    static const std::array<AnalyzerTab, trTabCount> tabs { {
        { "CURVE", "tone shape" },
        { "HARMONICS", "distortion + junk" },
        { "DYNAMICS", "compression" },
        { "SCOPE", "the waveform" },
        { "NULL / AB", "compare A vs B" },
        { "PERF", "CPU cost" },
        { "CHECKS", "honesty tests" },
    } };
    return tabs;
}

juce::String tabName (TrTab tab)
{
    return analyzerTabs()[static_cast<size_t> (tab)].name;
}

Tooltip railTooltip (TrTab tab)
{
    return lookUpTooltip (railTips, tabName (tab));
}
