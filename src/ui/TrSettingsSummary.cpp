#include "TrSettingsSummary.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::whole;

/** The channels of the tab's results: their shared name, "stereo (L+R)" when they differ. */
template <typename Result>
juce::String channelOf (const std::vector<Result>& store, const juce::String& fallback)
{
    if (store.empty())
        return fallback;
    for (const auto& r : store)
        if (r.channelName != store.front().channelName)
            return "stereo (L+R)";
    return store.front().channelName;
}

template <typename Result>
const Result* firstShown (const std::vector<Result>& store)
{
    for (const auto& r : store)
        if (r.error.isEmpty())
            return &r;
    return nullptr;
}

/** The THD sweeps of the axis the harmonics mode shows. */
std::vector<TrThdSweepResult> sweepsShown (const TrViewState& state)
{
    std::vector<TrThdSweepResult> shown;
    for (const auto& r : state.stores.thdSweeps)
        if (r.vsLevel == (state.chips.harmonicsMode == 2))
            shown.push_back (r);
    return shown;
}

/** The IMD results of the standard the harmonics mode shows. */
std::vector<TrImdResult> imdShown (const TrViewState& state)
{
    std::vector<TrImdResult> shown;
    for (const auto& r : state.stores.imd)
        if ((r.standard == "CCIF") == (state.chips.harmonicsMode == 4))
            shown.push_back (r);
    return shown;
}

template <typename Result>
double rateOf (const std::vector<Result>& store, double fallback)
{
    const auto* r = firstShown (store);
    return r != nullptr ? r->sampleRate : fallback;
}
}

double measuredRate (const TrViewState& state)
{
    const auto& s = state.stores;
    const auto chips = state.chips.sampleRate;
    const auto mode = state.chips.harmonicsMode;
    switch (state.tab)
    {
        case TrTab::curve:     return rateOf (s.curves, chips);
        case TrTab::harmonics: return mode == 0 ? rateOf (s.harmonics, chips) : mode <= 2 ? rateOf (sweepsShown (state), chips) : rateOf (imdShown (state), chips);
        case TrTab::dynamics:  return rateOf (s.dynamics, chips);
        case TrTab::scope:     return rateOf (s.scope, chips);
        case TrTab::nullAb:    return rateOf (s.nulls, chips);
        case TrTab::perf:      return rateOf (s.perf, chips);
        case TrTab::checks:    return rateOf (s.checks, chips);
    }
    return chips;
}

juce::String rateLabel (double sampleRate)
{
    const auto khz = sampleRate / 1000.0;
    const auto isWhole = std::abs (khz - std::round (khz)) < 0.01;
    return (isWhole ? whole (khz) : TrNumberFormat::fixed (khz, 1)) + " kHz";
}

juce::String freqLabel (double hz)
{
    if (hz >= 1000.0)
        return juce::String (hz / 1000.0) + " kHz";
    return whole (hz) + " Hz";
}

juce::String settingsSummary (const TrViewState& state)
{
    const auto& s = state.stores;
    const auto& c = state.chips;
    const auto mode = c.harmonicsMode;
    const auto working = channelModeName (c.channel);

    juce::String channel = working;
    juce::String tail;

    switch (state.tab)
    {
        case TrTab::curve:
        {
            channel = channelOf (s.curves, working);
            const auto* r = firstShown (s.curves);
            if (s.curvesLive)
                tail << " - multisine, peaks @ " << whole (r != nullptr ? r->levelDb : c.curveLevelDb) << " dBFS - LIVE";
            else
            {
                const auto multi = r != nullptr ? std::any_of (s.curves.begin(), s.curves.end(), [r] (const auto& o) {
                    return o.error.isEmpty() && o.slotIndex == r->slotIndex && std::abs (o.levelDb - r->levelDb) > 0.01;
                })
                                                : c.multiLevel;
                tail << " - log sweep " << (multi ? juce::String ("-24..0 dBFS") : whole (r != nullptr ? r->levelDb : c.curveLevelDb) + " dBFS")
                     << " - " << TrNumberFormat::fixed (c.sweepSeconds, 1) << " s";
            }
            break;
        }
        case TrTab::harmonics:
            if (mode == 0)
            {
                channel = channelOf (s.harmonics, working);
                const auto* r = firstShown (s.harmonics);
                tail << " - sine " << freqLabel (r != nullptr ? r->frequencyHz : c.harmonicsFrequencyHz) << " @ "
                     << whole (r != nullptr ? r->levelDb : c.harmonicsLevelDb) << " dBFS - N " << (r != nullptr ? r->fftSize : 65536);
                if (c.spectrumView == 2)
                    tail << " - mirror view (A up / B down)";
                else if (c.spectrumView == 1)
                    tail << " - spurs-only view (tone + harmonics masked)";
                if (s.harmonicsLive)
                    tail << " - LIVE";
            }
            else if (mode <= 2)
            {
                const auto shown = sweepsShown (state);
                channel = channelOf (shown, working);
                const auto* r = firstShown (shown);
                if (mode == 2)
                    tail << " - THD sweep -60..0 dBFS @ " << freqLabel (r != nullptr ? r->frequencyHz : c.harmonicsFrequencyHz);
                else
                    tail << " - THD sweep 20 Hz..20 kHz @ " << whole (r != nullptr ? r->levelDb : c.harmonicsLevelDb) << " dBFS";
                tail << " - " << (r != nullptr ? static_cast<int> (r->x.size()) : c.thdPoints) << " pts - N " << (r != nullptr ? r->fftSize : 16384);
            }
            else
            {
                const auto ccif = mode == 4;
                const auto shown = imdShown (state);
                channel = channelOf (shown, working);
                const auto* r = firstShown (shown);
                tail << (ccif ? " - IMD CCIF 19 + 20 kHz (1:1)" : " - IMD SMPTE 60 Hz + 7 kHz (4:1)") << " @ "
                     << whole (r != nullptr ? r->levelDb : c.harmonicsLevelDb) << " dBFS peak - N " << (r != nullptr ? r->fftSize : 65536);
            }
            break;
        case TrTab::dynamics:
        {
            channel = channelOf (s.dynamics, working);
            const auto* r = firstShown (s.dynamics);
            if (s.dynamicsLive)
                tail << " - 1 kHz ramp " << whole (c.dynamics.startDb) << " -> " << whole (c.dynamics.endDb) << " dBFS - LIVE";
            else
            {
                tail << " - 1 kHz steps " << TrNumberFormat::fixed (c.dynamics.stepSeconds, 1) << " s/step - burst "
                     << whole (r != nullptr ? r->burstLowDb : c.dynamics.burstLowDb) << " -> "
                     << whole (r != nullptr ? r->burstHighDb : c.dynamics.burstHighDb) << " dBFS";
                if (c.dynamics.autoBurst)
                    tail << " (auto)";
                if (r != nullptr ? r->externalSidechain : c.dynamics.externalSidechain)
                    tail << " - ext sidechain";
            }
            break;
        }
        case TrTab::scope:
        {
            channel = channelOf (s.scope, working);
            const auto* r = firstShown (s.scope);
            tail << " - sine " << freqLabel (r != nullptr ? r->frequencyHz : c.harmonicsFrequencyHz) << " @ " << whole (c.harmonicsLevelDb)
                 << " dBFS - oscilloscope - LIVE";
            break;
        }
        case TrTab::nullAb:
        {
            channel = channelOf (s.nulls, working);
            if (! s.nulls.empty())
                tail << " - " << s.nulls.front().signalName;
            if (s.nullsLive)
                tail << " - LIVE";
            break;
        }
        case TrTab::perf:
        {
            channel = channelOf (s.perf, working);
            tail << " - sine 1 kHz @ " << whole (c.perfLevelDb) << " dBFS - blocks 32..1024 - 5%-trimmed mean block wall time, incl host dispatch";
            break;
        }
        case TrTab::checks:
            channel = channelOf (s.checks, working);
            tail << " - bypass null / latency / DC / self-noise - deterministic noise + sine";
            break;
    }

    auto line = rateLabel (measuredRate (state)) + " - " + channel + " ch" + tail;
    if (state.held[static_cast<size_t> (state.tab)].held)
        line << " - vs held ref";
    return line;
}
