#include "TrChips.h"
#include "TrTooltipTable.h"

namespace
{
const TooltipEntry entries[] {
    { "CHANNEL", "Measured path",
      "Which way through the stereo plugin the test signal is measured. Left or right catch differences between the two channels. Stereo measures both in one go and shows them as separate traces. Mid feeds both channels the same signal (like a centered mono source); side feeds them opposite signals - that is what stereo wideners actually act on." },
    { "RATE", "Sample rate",
      "The sample rate the measurement runs at. Plugins can behave differently at 44.1, 48 or 96+ kHz - especially their aliasing and filters. Tip: measure, press HOLD, switch the rate and measure again to overlay the two." },
    { "SETTLE", "Time per loudness step",
      "How long each loudness step is held before reading the result, so slow compressors have time to fully react. Longer is more accurate for slow attack and release settings but the measurement takes longer." },
    { "BURST", "Test burst loudness",
      "The loud burst used to measure attack and release. 'Auto' places it safely above the threshold that was just measured - so even mastering limiters with very high thresholds get real attack/release numbers." },
    { "SIDECHAIN", "External sidechain",
      "Sends the changing test signal into the plugin's external sidechain (key) input instead of the main input, while the main input holds a steady tone. Use this for compressors that duck to another channel. The plugin must actually have a sidechain input." },
    { "SIGNAL", "Test signal",
      "What gets played through both plugins for the comparison: pink noise (a fair, full-range test) or an audio file of your own - real music often reveals differences noise hides." },
    { "LISTEN", "Audition the comparison",
      "Hear it instead of seeing it. Keys: 1 = plugin A, 2 = plugin B, N = only the difference between them (what the null test measures), 0 = the untouched signal. Space stops." },
    { "FREQ", "Test tone pitch",
      "The frequency of the clean test tone. 1 kHz is the standard reference; low tones reveal different behavior (more harmonics fit below the audible limit), high tones expose aliasing more brutally." },
    { "LEVEL", "Test loudness",
      "How loud the test signal is. 0 dBFS is the digital maximum. Distortion usually grows with level - measure quiet AND loud to see a plugin's whole personality." },
};

const TooltipEntry modeOnCurve { "MODE", "Sweep mode",
                          "'Single' runs the frequency sweep at one loudness. 'Multi-level' repeats it at several loudness levels: a clean EQ draws the exact same curve every time, while saturators and compressors fan out into separate curves." };
const TooltipEntry modeElsewhere { "MODE", "Measurement type",
                            "'Single tone' shows the full distortion spectrum of one note. 'THD vs freq' tracks distortion across the whole frequency range; 'THD vs level' tracks it from quiet to loud. The IMD modes play TWO tones at once and measure the false frequencies created by their interaction - often more audible than plain harmonic distortion." };

// The phase view folds as analysers usually do; the text names the convention, not a product.
const char* const viewOnCurve = "Magnitude = how loud each frequency comes out (the classic EQ curve). Phase = how each frequency is shifted in time, wrapped at +-180 degrees (the usual analyser convention - a vertical fold means the phase passed a half turn). Group delay = how much certain frequencies are DELAYED relative to others - audible as smearing when large. All three work live; MEASURE gives the precision version.";
const char* const viewOnDynamics = "'Transfer' plots loudness-in versus loudness-out - threshold, ratio and knee are read from this curve. 'Attack/release' shows the gain moving over time around a loud burst.";
const char* const viewOnSpectrum = "'Spectrum' overlays the full output spectra - the cleaner plugin is drawn on top and the gap between two floors is shaded. 'Spurs only' hides the tone and its legitimate overtones so ONLY aliasing and noise remain: a transparent plugin shows an almost empty chart. 'Mirror A|B' draws slot A upward and slot B downward from a shared midline, so two similar spectra can never cover each other.";
const char* const viewOnSweeps = "'Totals' shows overall distortion (THD), distortion-plus-noise, and the worst ALIAS spur - the junk that separates a transparent design from a folding one. 'H2..H5' splits distortion into the individual overtones: even ones (H2, H4) tend to sound warm and smooth, odd ones (H3, H5) harder and more aggressive. The balance IS the sound of a saturator.";
}

Tooltip TrChips::tooltipFor (const juce::String& label, const TrViewState& state)
{
    if (label == "MODE")
    {
        const auto& e = state.tab == TrTab::curve ? modeOnCurve : modeElsewhere;
        return { e.title, e.body };
    }

    if (label == "VIEW")
    {
        const char* body = nullptr;
        if (state.tab == TrTab::curve)
            body = viewOnCurve;
        else if (state.tab == TrTab::dynamics)
            body = viewOnDynamics;
        else if (state.tab == TrTab::harmonics && state.chips.harmonicsMode <= 2)
            body = state.chips.harmonicsMode == 0 ? viewOnSpectrum : viewOnSweeps;
        return body != nullptr ? Tooltip { "What the chart shows", body } : Tooltip {};
    }

    return lookUpTooltip (entries, label);
}
