#include "TrReadoutRows.h"

#include "TrDrawn.h"
#include "results/TrNumberFormat.h"

#include <cmath>

using TrNumberFormat::fixed;
using Grade = TrVerdict::Grade;

namespace
{
using TrNumberFormat::whole;

constexpr int warn = static_cast<int> (Grade::warn);
constexpr int bad = static_cast<int> (Grade::bad);

/** A dB value, or "-" for one that was not measured. */
juce::String dbOrDash (double v, int decimals, const juce::String& unit)
{
    return v <= TrSentinel::notMeasuredDb || ! std::isfinite (v) ? juce::String ("-") : fixed (v, decimals) + unit;
}

void addChannel (std::vector<ReadoutChip>& chips, const juce::String& tag)
{
    if (tag.isNotEmpty())
        chips.push_back ({ "CH", tag });
}

/** Whether a result's row is shown: its slot holds a plugin and is not hidden. */
template <typename Result>
bool rowShown (const TrViewState& state, const Result& r)
{
    return state.showsSlot (r.slotIndex);
}

// The phases are stored with each channel's own delay removed and unwrapped separately: add the
// delay difference back and wrap, or a real inter-channel delay goes unseen and curves that agree
// differ by whole turns.
double interChannelPhase (const TrCurveResult& left, const TrCurveResult& right, size_t i)
{
    const auto f = static_cast<double> (left.freqHz[i]);
    const auto delayDifference = (left.measuredLatency - right.measuredLatency) / left.sampleRate;
    return std::remainder (static_cast<double> (left.phaseDeg[i]) - right.phaseDeg[i] - 360.0 * f * delayDifference, 360.0);
}

std::vector<ReadoutChip> curveChips (const TrViewState& state, const TrCurveResult& r)
{
    const auto& store = state.stores.curves;
    const auto tag = TrDrawn::channelTag (store, r);
    std::vector<ReadoutChip> chips;
    chips.push_back ({ "GAIN@1K", fixed (r.gainAt1kDb, 2) + " dB" });
    chips.push_back ({ "LAT", whole (r.reportedLatency) + " smp" });

    const auto measured = std::abs (r.measuredLatency) < 0.05 ? 0.0 : r.measuredLatency;
    ReadoutChip lat { "MEASURED", fixed (measured, 1) + " smp" };
    if (std::abs (r.measuredLatency - r.reportedLatency) > 3.0)
    {
        lat.status = warn;
        lat.flag = "mismatch";
    }
    chips.push_back (lat);

    if (r.cpuNsPerSample > 0.0)
        chips.push_back ({ "CPU", whole (r.cpuNsPerSample) + " ns/smp" });

    int levels = 0;
    for (const auto& o : store)
        levels += o.slotIndex == r.slotIndex && o.error.isEmpty() && o.channelName == r.channelName ? 1 : 0;
    if (levels >= 2)
        chips.push_back ({ "LEVELS", juce::String (levels) });

    if (r.phaseCharacter.isNotEmpty())
        chips.push_back ({ "PHASE", r.phaseCharacter });
    if (r.polarityInverted)
        chips.push_back ({ "POLARITY", "INVERTED", bad, "cancels in parallel" });

    for (const auto& o : store)
        if (o.slotIndex == r.slotIndex && o.error.isEmpty() && o.repeatabilityDb >= 0.0)
        {
            if (o.timeVariant)
                chips.push_back ({ "REPEAT", fixed (o.repeatabilityDb, 2) + " dB", warn, "moves by itself" });
            else
                chips.push_back ({ "REPEAT", o.repeatabilityDb < 0.005 ? juce::String ("< 0.005 dB") : fixed (o.repeatabilityDb, 3) + " dB" });
            break;
        }

    if (tag == "L")
        for (const auto& o : store)
        {
            if (o.slotIndex != r.slotIndex || ! o.error.isEmpty() || o.channelName != "right"
                || std::abs (o.levelDb - r.levelDb) > 0.01 || o.magSmoothedDb.size() != r.magSmoothedDb.size())
                continue;

            double dmax = 0.0, dphase = 0.0;
            const auto phases = r.phaseDeg.size() == o.phaseDeg.size();
            for (size_t i = 0; i < r.freqHz.size() && i < r.magSmoothedDb.size(); ++i)
            {
                if (r.freqHz[i] < 50.0f || r.freqHz[i] > 0.4 * r.sampleRate)
                    continue;
                dmax = std::max (dmax, std::abs (static_cast<double> (r.magSmoothedDb[i]) - o.magSmoothedDb[i]));
                if (phases && i < r.phaseDeg.size())
                    dphase = std::max (dphase, std::abs (interChannelPhase (r, o, i)));
            }
            chips.push_back ({ "L/R DMAX", fixed (dmax, dmax < 0.1 ? 3 : 2) + " dB" });
            ReadoutChip phase { "L/R DPHASE", fixed (dphase, dphase < 1.0 ? 2 : 1) + " deg" };
            if (dphase > 30.0)
            {
                phase.status = warn;
                phase.flag = "mono risk";
            }
            chips.push_back (phase);
            break;
        }
    return chips;
}

std::vector<ReadoutChip> singleToneChips (const TrViewState& state, const TrHarmonicsResult& r)
{
    const auto& store = state.stores.harmonics;
    const auto tag = TrDrawn::channelTag (store, r);
    std::vector<ReadoutChip> chips;
    addChannel (chips, tag);

    if (! std::isfinite (r.thdDb))
    {
        chips.push_back ({ "THD", "n/a" });
    }
    else
    {
        chips.push_back ({ "THD", TrNumberFormat::percent (r.thdPercent) });
        chips.push_back ({ "THD", fixed (r.thdDb, 1) + " dB" });
    }

    ReadoutChip alias { "ALIAS", dbOrDash (r.aliasPeakDb, 1, " dB") };
    if (r.aliasPeakDb > TrSentinel::notMeasuredDb)
    {
        if (r.aliasPeakDb <= r.noiseFloorDb + 12.0)
            alias.flag = "floor";
        else if (r.aliasProminenceDb <= 12.0)
            alias.flag = "broadband";
        else if (r.aliasPeakDb > -60.0)
        {
            alias.flag = "audible";
            alias.status = warn;
        }
    }
    chips.push_back (alias);

    chips.push_back ({ "TP", r.truePeakDb < -500.0 ? juce::String ("-") : fixed (r.truePeakDb, 2) + " dBTP" });
    chips.push_back ({ "LAT", whole (r.latencySamples) + " smp" });
    chips.push_back ({ "CPU", whole (r.cpuNsPerSample) + " ns/smp" });
    if (r.repeatDeltaDb >= 0.0)
        chips.push_back ({ "REPEAT", fixed (r.repeatDeltaDb, 3) + " dB", r.timeVariant ? warn : 0,
                           r.timeVariant ? "moves by itself" : "" });

    if (tag == "L" && std::isfinite (r.thdDb))
        for (const auto& o : store)
            if (o.slotIndex == r.slotIndex && o.error.isEmpty() && o.channelName == "right" && std::isfinite (o.thdDb))
            {
                chips.push_back ({ "L/R DTHD", fixed (std::abs (r.thdDb - o.thdDb), 2) + " dB" });
                break;
            }
    return chips;
}

std::vector<ReadoutChip> sweepChips (const TrViewState& state, const TrThdSweepResult& r)
{
    std::vector<ReadoutChip> chips;
    addChannel (chips, TrDrawn::channelTag (state.stores.thdSweeps, r));

    // The worst finite value and where it was; the first point wins a tie.
    const auto worst = [&] (const std::vector<float>& values) {
        int at = -1;
        for (size_t i = 0; i < values.size() && i < r.x.size(); ++i)
            if (std::isfinite (values[i]) && (at < 0 || values[i] > values[static_cast<size_t> (at)]))
                at = static_cast<int> (i);
        return at;
    };
    const auto chip = [&] (const char* label, const std::vector<float>& values) {
        const auto at = worst (values);
        if (at >= 0)
            chips.push_back ({ label, fixed (values[static_cast<size_t> (at)], 1) + " dB @ "
                                          + TrVerdict::detail_::hzOrDb (r.x[static_cast<size_t> (at)], r.vsLevel) });
    };
    chip ("WORST THD", r.thdDb);
    chip ("WORST THD+N", r.thdnDb);
    chip ("WORST ALIAS", r.aliasDb);
    chips.push_back ({ "POINTS", juce::String (static_cast<int> (r.x.size())) });
    return chips;
}

std::vector<ReadoutChip> imdChips (const TrViewState& state, const TrImdResult& r)
{
    std::vector<ReadoutChip> chips;
    addChannel (chips, TrDrawn::channelTag (state.stores.imd, r));
    chips.push_back ({ "IMD", TrNumberFormat::percent (r.imdPercent) });
    chips.push_back ({ "IMD", dbOrDash (r.imdDb, 1, " dB") });
    if (r.standard == "CCIF")
    {
        chips.push_back ({ "D2", dbOrDash (r.d2Db, 1, " dB") });
        chips.push_back ({ "D3", dbOrDash (r.d3Db, 1, " dB") });
    }
    chips.push_back ({ "NOISE", dbOrDash (r.noiseFloorDb, 1, " dB") });
    chips.push_back ({ "LAT", whole (r.latencySamples) + " smp" });
    return chips;
}

std::vector<ReadoutChip> dynamicsChips (const TrViewState& state, const TrDynamicsResult& r)
{
    std::vector<ReadoutChip> chips;
    addChannel (chips, TrDrawn::channelTag (state.stores.dynamics, r));
    const auto compressing = r.ratio > 1.05;
    chips.push_back ({ "THRESH", compressing ? fixed (r.thresholdDb, 1) + " dB" : juce::String ("-") });
    juce::String ratio = "1 : 1";
    if (compressing)
        ratio = r.ratio > 100.0 ? juce::String ("inf : 1") : (r.ratio <= 20.0 ? fixed (r.ratio, 1) : whole (r.ratio)) + " : 1";
    chips.push_back ({ "RATIO", ratio });
    chips.push_back ({ "KNEE", compressing ? fixed (r.kneeDb, 1) + " dB" : juce::String ("-") });
    chips.push_back ({ "ATTACK", r.attackMs > 0.0 ? fixed (r.attackMs, 1) + " ms" : juce::String ("-") });
    chips.push_back ({ "RELEASE", r.releaseMs > 0.0 ? fixed (r.releaseMs, 1) + " ms" : juce::String ("-") });
    chips.push_back ({ "MAKEUP", fixed (r.makeupDb, 2) + " dB" });
    if (r.externalSidechain)
        chips.push_back ({ "SC", "ext" });
    return chips;
}

std::vector<ReadoutChip> scopeChips (const TrScopeResult& r)
{
    return { { "IN", fixed (r.inputPeakDb, 1) + " dBFS" },
             { "OUT", fixed (r.outputPeakDb, 1) + " dBFS" },
             { "RMS", fixed (r.outputRmsDb, 1) + " dB" },
             { "GAIN", fixed (r.outputPeakDb - r.inputPeakDb, 2) + " dB" },
             { "LAT", whole (r.latencySamples) + " smp" } };
}

std::vector<ReadoutChip> nullChips (const TrViewState& state, const TrNullResult& r)
{
    std::vector<ReadoutChip> chips;
    if (state.stores.nulls.size() >= 2)
        chips.push_back ({ "CH", r.channelName == "right" ? "R" : "L" });
    chips.push_back ({ "NULL", fixed (r.nullDepthDb, 1) + " dB" });
    chips.push_back ({ {}, r.verdictText });
    chips.push_back ({ "LUFS A", fixed (r.lufsA, 1) });
    chips.push_back ({ "LUFS B", fixed (r.lufsB, 1) });
    chips.push_back ({ "MATCH", fixed (r.matchGainDb, 2) + " dB" });
    chips.push_back ({ "DLAT", fixed (std::abs (r.latencyDeltaSamples) < 0.05 ? 0.0 : r.latencyDeltaSamples, 1) + " smp" });
    return chips;
}

std::vector<ReadoutChip> perfChips (const TrPerfResult& r)
{
    std::vector<ReadoutChip> chips;
    chips.push_back ({ "PER SMP", whole (r.perSampleNs) + " ns" });
    chips.push_back ({ "PER BLK", fixed (r.perBlockUs, 1) + " us" });
    chips.push_back ({ "BUDGET", (r.percentRealtimeAt512 < 10.0 ? fixed (r.percentRealtimeAt512, 1) : whole (r.percentRealtimeAt512)) + " % @512" });
    chips.push_back ({ "WORST", fixed (r.worst512BlockMs, 2) + " ms/blk" });
    ReadoutChip denorm { "DENORM", r.denormalRatio < 0.0 ? juce::String ("n/a (ARM)") : fixed (r.denormalRatio, 1) + " x" };
    if (r.denormalRatio > 4.0)
    {
        denorm.status = bad;
        denorm.flag = "bug";
    }
    chips.push_back (denorm);
    chips.push_back ({ "LAT", whole (r.latencySamples) + " smp" });
    return chips;
}

std::vector<ReadoutChip> checksChips (const TrViewState& state, const TrChecksResult& r)
{
    std::vector<ReadoutChip> chips;
    addChannel (chips, TrDrawn::channelTag (state.stores.checks, r));

    if (r.bypassFound)
        chips.push_back ({ "BYPASS", fixed (r.bypassNullDb, 1) + " dB null", r.bypassNullDb > -60.0 ? warn : 0,
                           r.bypassNullDb > -60.0 ? "not true bypass" : "" });
    else
        chips.push_back ({ "BYPASS", "no byp param" });

    if (r.latencyAtSearchLimit)
        chips.push_back ({ "LAT", "> search range", warn, "unknown" });
    else
    {
        const auto lying = std::abs (r.measuredLatency - r.reportedLatencyAfter) > 3.0 || r.reportedLatency != r.reportedLatencyAfter;
        chips.push_back ({ "LAT", "rep " + whole (r.reportedLatencyAfter) + " / meas " + fixed (r.measuredLatency, 1),
                           lying ? warn : 0, lying ? "lying" : "" });
    }

    if (r.polarityInverted)
        chips.push_back ({ "POLARITY", "INVERTED", bad, "cancels in parallel" });
    else
        chips.push_back ({ "POLARITY", "normal" });

    chips.push_back ({ "DC", dbOrDash (std::max (r.dcIdleDbfs, r.dcSignalDbfs), 1, " dB") });
    chips.push_back ({ "NOISE", r.selfNoiseDbfs < -140.0 ? juce::String ("silent") : fixed (r.selfNoiseDbfs, 1) + " dBFS" });
    return chips;
}

template <typename Result, typename Chips>
void addRows (std::vector<ReadoutRow>& rows, const TrViewState& state, const std::vector<Result>& store, Chips&& chipsOf)
{
    for (const auto& r : store)
    {
        if (! rowShown (state, r))
            continue;
        if (r.error.isNotEmpty())
            rows.push_back ({ r.slotIndex, r.error, {} });
        else
            rows.push_back ({ r.slotIndex, {}, chipsOf (r) });
    }
}
}

std::vector<ReadoutRow> buildReadoutRows (const TrViewState& state)
{
    std::vector<ReadoutRow> rows;
    const auto& s = state.stores;
    switch (state.tab)
    {
        case TrTab::curve:
        {
            // Several levels and channels of one slot share its row.
            int previousSlot = std::numeric_limits<int>::min();
            for (const auto& r : s.curves)
            {
                const auto first = r.slotIndex != previousSlot;
                previousSlot = r.slotIndex;
                if (! first || ! rowShown (state, r))
                    continue;
                if (r.error.isNotEmpty())
                    rows.push_back ({ r.slotIndex, r.error, {} });
                else
                    rows.push_back ({ r.slotIndex, {}, curveChips (state, r) });
            }
            break;
        }
        case TrTab::harmonics:
        {
            const auto mode = state.chips.harmonicsMode;
            if (mode == 0)
                addRows (rows, state, s.harmonics, [&] (const auto& r) { return singleToneChips (state, r); });
            else if (mode == 1 || mode == 2)
            {
                std::vector<TrThdSweepResult> shown;
                for (const auto& r : s.thdSweeps)
                    if (r.vsLevel == (mode == 2))
                        shown.push_back (r);
                addRows (rows, state, shown, [&] (const auto& r) { return sweepChips (state, r); });
            }
            else
            {
                std::vector<TrImdResult> shown;
                for (const auto& r : s.imd)
                    if ((r.standard == "CCIF") == (mode == 4))
                        shown.push_back (r);
                addRows (rows, state, shown, [&] (const auto& r) { return imdChips (state, r); });
            }
            break;
        }
        case TrTab::dynamics: addRows (rows, state, s.dynamics, [&] (const auto& r) { return dynamicsChips (state, r); }); break;
        case TrTab::scope:    addRows (rows, state, s.scope, [] (const auto& r) { return scopeChips (r); }); break;
        case TrTab::perf:     addRows (rows, state, s.perf, [] (const auto& r) { return perfChips (r); }); break;
        case TrTab::checks:   addRows (rows, state, s.checks, [&] (const auto& r) { return checksChips (state, r); }); break;
        case TrTab::nullAb:
            for (const auto& r : s.nulls)
                rows.push_back (r.error.isNotEmpty() ? ReadoutRow { -1, r.error, {} } : ReadoutRow { -1, {}, nullChips (state, r) });
            break;
    }
    return rows;
}
