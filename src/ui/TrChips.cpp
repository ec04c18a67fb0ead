#include "TrChips.h"

#include "TrSettingsSummary.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::whole;

using TrChips::Face;

juce::String dbfs (double v)
{
    return whole (v) + " dBFS";
}

const char* const harmonicsModes[] { "single tone", "THD vs freq", "THD vs level", "IMD SMPTE", "IMD CCIF" };
const char* const spectrumViews[] { "spectrum", "spurs only", "mirror A|B" };
const char* const curveViews[] { "magnitude", "phase", "group delay" };

juce::String pick (const char* const* names, int count, int index)
{
    return names[juce::jlimit (0, count - 1, index)];
}
}

std::vector<Face> TrChips::facesFor (const TrViewState& state, int auditionMode)
{
    const auto& c = state.chips;
    std::vector<Face> faces { { "RATE", rateLabel (c.sampleRate) } };
    if (state.tab != TrTab::perf)
        faces.push_back ({ "CHANNEL", channelModeName (c.channel) });

    switch (state.tab)
    {
        case TrTab::curve:
            faces.push_back ({ "MODE", c.multiLevel ? "multi-level" : "single", toggle });
            faces.push_back ({ "LEVEL", c.multiLevel ? juce::String ("-24..0 dBFS") : dbfs (c.curveLevelDb) });
            faces.push_back ({ "VIEW", pick (curveViews, 3, c.curveView), toggle });
            break;
        case TrTab::harmonics:
        {
            const auto mode = c.harmonicsMode;
            faces.push_back ({ "MODE", pick (harmonicsModes, 5, mode) });
            if (mode == 0)
                faces.push_back ({ "VIEW", pick (spectrumViews, 3, c.spectrumView), toggle });
            else if (mode <= 2)
                faces.push_back ({ "VIEW", c.thdView == 1 ? "H2..H5" : "totals", toggle });
            if (mode == 0 || mode == 2)
                faces.push_back ({ "FREQ", freqLabel (c.harmonicsFrequencyHz) });
            if (mode != 2)
                faces.push_back ({ "LEVEL", dbfs (c.harmonicsLevelDb) });
            break;
        }
        case TrTab::dynamics:
            faces.push_back ({ "VIEW", c.dynamicsView == 1 ? "attack/release" : "transfer", toggle });
            faces.push_back ({ "SETTLE", juce::String (c.dynamics.stepSeconds, 1) + " s" });
            faces.push_back ({ "BURST", c.dynamics.autoBurst ? juce::String ("auto") : dbfs (c.dynamics.burstHighDb) });
            faces.push_back ({ "SIDECHAIN", c.dynamics.externalSidechain ? "on" : "off", toggle });
            break;
        case TrTab::scope:
            faces.push_back ({ "FREQ", freqLabel (c.harmonicsFrequencyHz) });
            faces.push_back ({ "LEVEL", dbfs (c.harmonicsLevelDb) });
            break;
        case TrTab::nullAb:
        {
            faces.push_back ({ "SIGNAL", c.nullSignalFile.isEmpty() ? juce::String ("pink noise")
                                                                    : juce::File (c.nullSignalFile).getFileNameWithoutExtension() });
            const char* const auditions[] { "bypass", "A", "B", "null" };
            faces.push_back ({ "LISTEN", auditionMode >= 0 && auditionMode <= 3 ? juce::String (auditions[auditionMode]) : juce::String ("off"),
                               audition });
            break;
        }
        case TrTab::perf:
        case TrTab::checks:
            break;
    }
    return faces;
}
