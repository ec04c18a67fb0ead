#include "TrMeasurementRuns.h"

#include "analyzers/TrChecksAnalyzer.h"
#include "analyzers/TrDynamicsAnalyzer.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrNullAnalyzer.h"
#include "analyzers/TrPerfAnalyzer.h"

namespace
{
using TrMeasurementRuns::channelsFor;

/** Each loaded slot, A then B, until cancelled. */
template <typename Fn>
void forEachLoadedSlot (TrSlotManager& slots, const TrCancel& cancel, Fn&& fn)
{
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        if (cancel())
            return;
        if (slots.slot (i).isLoaded())
            fn (slots.slot (i));
    }
}

TrCurveParams curveParams (const TrChipSettings& c, double levelDb, bool repeat, TrChannelMode channel)
{
    TrCurveParams p;
    p.levelDb = levelDb;
    p.sampleRate = c.sampleRate;
    p.sweepSeconds = c.sweepSeconds;
    p.repeat = repeat;
    p.channel = channel;
    return p;
}

std::function<void()> harmonicsJob (const TrChipSettings& c, int mode, TrSlotManager& slots, TrResultStores& pending,
                                    std::atomic<float>* progress, const TrCancel& cancel)
{
    return [c, mode, &slots, &pending, progress, cancel] {
        forEachLoadedSlot (slots, cancel, [&] (TrPluginSlot& slot) {
            for (const auto channel : channelsFor (c.channel))
            {
                if (cancel())
                    return;
                if (mode == 0)
                {
                    TrHarmonicsParams p;
                    p.frequencyHz = c.harmonicsFrequencyHz;
                    p.levelDb = c.harmonicsLevelDb;
                    p.sampleRate = c.sampleRate;
                    p.channel = channel;
                    pending.harmonics.push_back (TrHarmonicsAnalyzer::run (slot, p, progress, cancel));
                }
                else if (mode <= 2)
                {
                    TrThdSweepParams p;
                    p.vsLevel = mode == 2;
                    p.levelDb = c.harmonicsLevelDb;
                    p.frequencyHz = c.harmonicsFrequencyHz;
                    p.sampleRate = c.sampleRate;
                    p.points = c.thdPoints;
                    p.channel = channel;
                    pending.thdSweeps.push_back (TrHarmonicsAnalyzer::runThdSweep (slot, p, progress, cancel));
                }
                else
                {
                    TrImdParams p;
                    p.ccif = mode == 4;
                    p.levelDb = c.harmonicsLevelDb;
                    p.sampleRate = c.sampleRate;
                    p.channel = channel;
                    pending.imd.push_back (TrHarmonicsAnalyzer::runImd (slot, p, progress, cancel));
                }
            }
        });
    };
}

std::function<void()> curveJob (const TrChipSettings& c, TrSlotManager& slots, TrResultStores& pending,
                                std::atomic<float>* progress, const TrCancel& cancel)
{
    return [c, &slots, &pending, progress, cancel] {
        std::vector<double> levels { c.curveLevelDb };
        if (c.multiLevel)
            levels.assign (std::begin (TrMeasurementRuns::multiLevels), std::end (TrMeasurementRuns::multiLevels));

        forEachLoadedSlot (slots, cancel, [&] (TrPluginSlot& slot) {
            for (size_t l = 0; l < levels.size(); ++l)
            {
                const auto channels = channelsFor (c.channel);
                for (size_t ch = 0; ch < channels.size(); ++ch)
                {
                    if (cancel())
                        return;
                    const auto params = curveParams (c, levels[l], l == 0 && ch == 0, channels[ch]);
                    pending.curves.push_back (TrFreqResponseAnalyzer::run (slot, params, progress, cancel));
                }
            }
        });
    };
}

/** A job that runs one analyzer per loaded slot and channel. */
template <typename Result, typename Run>
std::function<void()> perSlotAndChannel (TrChannelMode working, TrSlotManager& slots, std::vector<Result>& into,
                                         const TrCancel& cancel, Run run)
{
    return [working, &slots, &into, cancel, run] {
        forEachLoadedSlot (slots, cancel, [&] (TrPluginSlot& slot) {
            for (const auto channel : channelsFor (working))
            {
                if (cancel())
                    return;
                into.push_back (run (slot, channel));
            }
        });
    };
}

template <typename Result>
void replace (std::vector<Result>& visible, std::vector<Result>& pending)
{
    visible = std::move (pending);
    pending.clear();
}

/** Visible results of the same kind (same axis, same standard) as the run go; the run's come in. */
template <typename Result, typename Key>
void replaceSameKind (std::vector<Result>& visible, std::vector<Result>& pending, Key key)
{
    if (! pending.empty())
    {
        const auto kind = key (pending.front());
        visible.erase (std::remove_if (visible.begin(), visible.end(), [&] (const Result& r) { return key (r) == kind; }), visible.end());
    }
    for (auto& r : pending)
        visible.push_back (std::move (r));
    pending.clear();
}
}

std::vector<TrChannelMode> TrMeasurementRuns::channelsFor (TrChannelMode working)
{
    if (working == TrChannelMode::stereo)
        return { TrChannelMode::left, TrChannelMode::right };
    return { working };
}

std::function<void()> TrMeasurementRuns::jobFor (const TrViewState& state, TrSlotManager& slots, TrResultStores& pending,
                                                 std::atomic<float>* progress, TrCancel cancel)
{
    const auto c = state.chips;
    switch (state.tab)
    {
        case TrTab::harmonics:
            return harmonicsJob (c, c.harmonicsMode, slots, pending, progress, cancel);
        case TrTab::curve:
            return curveJob (c, slots, pending, progress, cancel);
        case TrTab::dynamics:
            return perSlotAndChannel (c.channel, slots, pending.dynamics, cancel, [c, progress, cancel] (TrPluginSlot& slot, TrChannelMode channel) {
                auto p = c.dynamics;
                p.sampleRate = c.sampleRate;
                p.channel = channel;
                return TrDynamicsAnalyzer::run (slot, p, progress, cancel);
            });
        case TrTab::checks:
            return perSlotAndChannel (c.channel, slots, pending.checks, cancel, [c, progress, cancel] (TrPluginSlot& slot, TrChannelMode channel) {
                TrChecksParams p;
                p.sampleRate = c.sampleRate;
                p.channel = channel;
                return TrChecksAnalyzer::run (slot, p, progress, cancel);
            });
        case TrTab::perf:
            return [c, &slots, &pending, progress, cancel] {
                forEachLoadedSlot (slots, cancel, [&] (TrPluginSlot& slot) {
                    TrPerfParams p;
                    p.sampleRate = c.sampleRate;
                    p.levelDb = c.perfLevelDb;
                    p.channel = c.channel;
                    pending.perf.push_back (TrPerfAnalyzer::run (slot, p, progress, cancel));
                });
            };
        case TrTab::nullAb:
            return [c, &slots, &pending, progress, cancel] {
                for (const auto channel : channelsFor (c.channel))
                {
                    if (cancel())
                        return;
                    TrNullParams p;
                    p.sampleRate = c.sampleRate;
                    p.file = c.nullSignalFile;
                    p.channel = channel;
                    pending.nulls.push_back (TrNullAnalyzer::run (slots.slot (0), slots.slot (1), p, progress, cancel));
                }
            };
        case TrTab::scope:
            break;
    }
    return {};
}

void TrMeasurementRuns::publish (TrTab tab, int harmonicsMode, TrResultStores& pending, TrResultStores& visible)
{
    switch (tab)
    {
        case TrTab::harmonics:
            if (harmonicsMode == 0)
            {
                replace (visible.harmonics, pending.harmonics);
                visible.harmonicsLive = false;
            }
            else if (harmonicsMode <= 2)
                replaceSameKind (visible.thdSweeps, pending.thdSweeps, [] (const TrThdSweepResult& r) { return r.vsLevel; });
            else
                replaceSameKind (visible.imd, pending.imd, [] (const TrImdResult& r) { return r.standard; });
            break;
        case TrTab::curve:
            replace (visible.curves, pending.curves);
            visible.curvesLive = false;
            break;
        case TrTab::dynamics:
            replace (visible.dynamics, pending.dynamics);
            visible.dynamicsLive = false;
            break;
        case TrTab::nullAb:
            replace (visible.nulls, pending.nulls);
            visible.nullsLive = false;
            break;
        case TrTab::perf:
            replace (visible.perf, pending.perf);
            break;
        case TrTab::checks:
            replace (visible.checks, pending.checks);
            break;
        case TrTab::scope:
            break;
    }
}

std::function<void()> TrMeasurementRuns::checkupJob (const TrViewState& state, TrSlotManager& slots, TrResultStores& pending,
                                                     std::atomic<float>* progress, TrCancel cancel)
{
    const auto c = state.chips;
    return [c, &slots, &pending, progress, cancel] {
        int count = 0;
        for (int i = 0; i < TrSlotManager::numSlots; ++i)
            count += slots.slot (i).isLoaded() ? 1 : 0;

        int n = 0;
        const auto stage = [&] (double part) {
            if (progress != nullptr && count > 0)
                *progress = static_cast<float> ((n + part) / count);
        };

        forEachLoadedSlot (slots, cancel, [&] (TrPluginSlot& slot) {
            stage (0.0);
            TrHarmonicsParams tone;
            tone.frequencyHz = c.harmonicsFrequencyHz;
            tone.levelDb = c.harmonicsLevelDb;
            tone.sampleRate = c.sampleRate;
            pending.harmonics.push_back (TrHarmonicsAnalyzer::run (slot, tone, nullptr, cancel));

            stage (1.0 / 3.0);
            pending.curves.push_back (TrFreqResponseAnalyzer::run (slot, curveParams (c, -12.0, true, TrChannelMode::left), nullptr, cancel));

            stage (2.0 / 3.0);
            TrChecksParams checks;
            checks.sampleRate = c.sampleRate;
            pending.checks.push_back (TrChecksAnalyzer::run (slot, checks, nullptr, cancel));
            ++n;
        });
    };
}

void TrMeasurementRuns::publishCheckup (TrResultStores& pending, TrResultStores& visible)
{
    replace (visible.harmonics, pending.harmonics);
    replace (visible.curves, pending.curves);
    replace (visible.checks, pending.checks);
    visible.harmonicsLive = false;
    visible.curvesLive = false;
}
