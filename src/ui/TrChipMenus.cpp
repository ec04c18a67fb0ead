#include "TrChipMenus.h"

#include "TrChips.h"
#include "TrSettingsSummary.h"

#include "results/TrNumberFormat.h"

#include <cmath>
#include <iterator>

namespace
{
using TrChipMenus::Item;
using TrChipMenus::Menu;

template <std::size_t N>
std::vector<double> listOf (const double (&presets)[N])
{
    return { std::begin (presets), std::end (presets) };
}

juce::String dbfs (double v)
{
    return TrNumberFormat::whole (v) + " dBFS";
}

juce::String seconds (double v)
{
    return juce::String (v, 1) + " s";
}

Menu channelMenu (TrChannelMode current)
{
    const std::pair<const char*, TrChannelMode> paths[] {
        { "left (dual-mono)", TrChannelMode::left },
        { "right (dual-mono)", TrChannelMode::right },
        { "stereo (L + R, offline)", TrChannelMode::stereo },
        { "mid  (L+R)", TrChannelMode::mid },
        { "side  (L-R, wideners)", TrChannelMode::side },
    };
    Menu menu { "MEASURED PATH", {} };
    for (const auto& [text, mode] : paths)
        menu.items.push_back ({ text, mode == current, [m = mode] (TrChipSettings& c) { c.channel = m; } });
    return menu;
}

Menu harmonicsModeMenu (int current)
{
    const char* const modes[] { "single tone (spectrum)", "THD vs frequency", "THD vs level", "IMD SMPTE (60 Hz + 7 kHz)",
                                "IMD CCIF (19 + 20 kHz)" };
    Menu menu { "MEASUREMENT", {} };
    for (int i = 0; i < 5; ++i)
        menu.items.push_back ({ modes[i], i == current, [i] (TrChipSettings& c) { c.harmonicsMode = i; } });
    return menu;
}

Menu burstMenu (const TrDynamicsParams& d)
{
    Menu menu { "BURST PEAK LEVEL", {} };
    menu.items.push_back ({ "auto (threshold + 12 dB)", d.autoBurst, [] (TrChipSettings& c) { c.dynamics.autoBurst = true; } });
    for (auto level : TrChips::burstLevels)
        menu.items.push_back ({ dbfs (level), ! d.autoBurst && std::abs (d.burstHighDb - level) < 1e-6, [level] (TrChipSettings& c) {
                                   c.dynamics.burstHighDb = level;
                                   c.dynamics.autoBurst = false;
                               } });
    return menu;
}

Menu signalMenu (const juce::String& file)
{
    return { "TEST SIGNAL",
             { { "pink noise", file.isEmpty(), [] (TrChipSettings& c) { c.nullSignalFile = {}; } },
               { "choose audio file...", false, {} } } };
}
}

Menu TrChipMenus::presetMenu (const juce::String& title, const std::vector<double>& presets, double current,
                              const std::function<juce::String (double)>& format,
                              const std::function<void (TrChipSettings&, double)>& set)
{
    Menu menu { title, {} };
    for (auto preset : presets)
        menu.items.push_back ({ format (preset), std::abs (preset - current) < 1e-6, [set, preset] (TrChipSettings& c) { set (c, preset); } });
    return menu;
}

std::optional<Menu> TrChipMenus::menuFor (const juce::String& label, const TrViewState& state)
{
    const auto& c = state.chips;
    const auto harmonicsMode = c.harmonicsMode;

    if (label == "RATE")
        return presetMenu ("SAMPLE RATE", listOf (TrChips::sampleRates), c.sampleRate, rateLabel,
                           [] (TrChipSettings& s, double v) { s.sampleRate = v; });

    if (label == "CHANNEL" && state.tab != TrTab::perf)
        return channelMenu (c.channel);

    if (label == "LEVEL" && state.tab == TrTab::curve)
    {
        if (c.multiLevel)
            return std::nullopt;
        return presetMenu ("SWEEP LEVEL", listOf (TrChips::levels), c.curveLevelDb, dbfs,
                           [] (TrChipSettings& s, double v) { s.curveLevelDb = v; });
    }

    const auto harmonicsShowsLevel = state.tab == TrTab::harmonics && harmonicsMode != 2;
    if (label == "LEVEL" && (harmonicsShowsLevel || state.tab == TrTab::scope))
        return presetMenu ("INPUT LEVEL", listOf (TrChips::levels), c.harmonicsLevelDb, dbfs,
                           [] (TrChipSettings& s, double v) { s.harmonicsLevelDb = v; });

    const auto harmonicsShowsFreq = state.tab == TrTab::harmonics && (harmonicsMode == 0 || harmonicsMode == 2);
    if (label == "FREQ" && (harmonicsShowsFreq || state.tab == TrTab::scope))
        return presetMenu ("TEST FREQUENCY", listOf (TrChips::frequencies), c.harmonicsFrequencyHz, freqLabel,
                           [] (TrChipSettings& s, double v) { s.harmonicsFrequencyHz = v; });

    if (label == "MODE" && state.tab == TrTab::harmonics)
        return harmonicsModeMenu (harmonicsMode);

    if (state.tab == TrTab::dynamics)
    {
        if (label == "SETTLE")
            return presetMenu ("SETTLE PER STEP", listOf (TrChips::settleSeconds), c.dynamics.stepSeconds, seconds,
                               [] (TrChipSettings& s, double v) { s.dynamics.stepSeconds = v; });
        if (label == "BURST")
            return burstMenu (c.dynamics);
    }

    if (label == "SIGNAL" && state.tab == TrTab::nullAb)
        return signalMenu (c.nullSignalFile);

    return std::nullopt;
}

bool TrChipMenus::toggle (const juce::String& label, TrViewState& state)
{
    auto& c = state.chips;
    switch (state.tab)
    {
        case TrTab::curve:
            if (label == "MODE")
                c.multiLevel = ! c.multiLevel;
            else if (label == "VIEW")
                c.curveView = (c.curveView + 1) % 3;
            else
                return false;
            return true;

        case TrTab::harmonics:
            if (label != "VIEW" || c.harmonicsMode > 2)
                return false;
            if (c.harmonicsMode == 0)
                c.spectrumView = (c.spectrumView + 1) % 3;
            else
                c.thdView = c.thdView == 1 ? 0 : 1;
            return true;

        case TrTab::dynamics:
            if (label == "VIEW")
            {
                c.dynamicsView = c.dynamicsView == 1 ? 0 : 1;
                if (c.dynamicsView == 1 && state.stores.dynamicsLive)
                {
                    state.stores.dynamics.clear();
                    state.stores.dynamicsLive = false;
                }
            }
            else if (label == "SIDECHAIN")
                c.dynamics.externalSidechain = ! c.dynamics.externalSidechain;
            else
                return false;
            return true;

        case TrTab::scope:
        case TrTab::nullAb:
        case TrTab::perf:
        case TrTab::checks:
            break;
    }
    return false;
}
