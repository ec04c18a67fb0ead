#include "TrChartTabs.h"
#include "ui/TrDrawn.h"
#include "ui/TrSlotStyle.h"
#include "ui/UxPanelTheme.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace Colours = UxPanelTheme::Colours;

namespace
{
template <typename Result, typename HasData>
double largestRate (const TrViewState& state, const std::vector<Result>& store, HasData hasData)
{
    auto rate = 0.0;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, hasData (r)))
            rate = std::max (rate, r.sampleRate);
    return rate;
}

/** The rate the drawn results were measured at (the largest when they differ); the chip's
    rate only when nothing is drawn, so a chart never cuts a result at another rate's Nyquist. */
double measuredRate (const TrViewState& state)
{
    const auto& s = state.stores;
    auto rate = 0.0;
    switch (state.tab)
    {
        case TrTab::curve:     rate = largestRate (state, s.curves, [] (const auto& r) { return ! r.freqHz.empty(); }); break;
        case TrTab::harmonics:
            rate = std::max ({ largestRate (state, s.harmonics, [] (const auto& r) { return ! r.spectrumDb.empty(); }),
                               largestRate (state, s.imd, [] (const auto& r) { return ! r.spectrumDb.empty(); }) });
            break;
        case TrTab::dynamics:  rate = largestRate (state, s.dynamics, [] (const auto& r) { return ! r.inDb.empty(); }); break;
        case TrTab::scope:     rate = largestRate (state, s.scope, [] (const auto& r) { return ! r.timeMs.empty(); }); break;
        case TrTab::perf:      rate = largestRate (state, s.perf, [] (const auto& r) { return ! r.blockSizes.empty(); }); break;
        case TrTab::checks:    rate = largestRate (state, s.checks, [] (const auto& r) { return ! r.noiseFreqHz.empty(); }); break;
        case TrTab::nullAb:    break;
    }
    return rate > 0.0 ? rate : state.chips.sampleRate;
}

TrChart::Trace plainTrace (const juce::String& name, juce::Colour colour, float thickness, bool glow)
{
    TrChart::Trace t;
    t.name = name;
    t.colour = colour;
    t.thickness = thickness;
    t.glow = glow;
    return t;
}

void addPoints (TrChart::Trace& trace, const std::vector<float>& x, const std::vector<float>& y)
{
    for (size_t i = 0; i < x.size() && i < y.size(); ++i)
        if (std::isfinite (x[i]) && std::isfinite (y[i]))
            trace.points.push_back ({ x[i], y[i] });
}

std::vector<float> groupDelayMs (const std::vector<float>& f, const std::vector<float>& phase)
{
    const auto n = std::min (f.size(), phase.size());
    std::vector<float> gd (n, 0.0f);
    if (n < 2)
        return gd;

    for (size_t k = 0; k < n; ++k)
    {
        const auto a = k == 0 ? 0 : k - 1;
        const auto b = k + 1 == n ? n - 1 : k + 1;
        const auto df = static_cast<double> (f[b]) - f[a];
        gd[k] = df > 1e-9 ? static_cast<float> (-1000.0 * (static_cast<double> (phase[b]) - phase[a]) / (360.0 * df)) : 0.0f;
    }

    std::vector<float> smoothed (n);
    for (size_t k = 0; k < n; ++k)
    {
        const auto a = k < 2 ? 0 : k - 2;
        const auto b = std::min (n - 1, k + 2);
        double sum = 0.0;
        for (auto j = a; j <= b; ++j)
            sum += gd[j];
        smoothed[k] = static_cast<float> (sum / static_cast<double> (b - a + 1));
    }
    return smoothed;
}
}

void TrChartTabs::curve (const TrViewState& state, TrChart::Model& model, TrChartMemory* memory)
{
    const auto& store = state.stores.curves;
    const auto view = state.chips.curveView;
    double largestAbs = 0.0, hi = -1e300, lo = 1e300;

    for (const auto& r : store)
    {
        if (! TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.freqHz.empty()))
            continue;
        const auto tag = TrDrawn::channelTag (store, r);

        // Several levels of one slot and channel: named by level, brighter with each.
        std::vector<const TrCurveResult*> group;
        std::set<double> levels;
        for (const auto& o : store)
            if (o.slotIndex == r.slotIndex && o.channelName == r.channelName
                && TrDrawn::isDrawn (state, o.slotIndex, o.error, ! o.freqHz.empty()))
            {
                group.push_back (&o);
                levels.insert (std::round (o.levelDb * 100.0) / 100.0);
            }

        auto trace = plainTrace (TrDrawn::baseName (r.slotIndex, tag), TrDrawn::colourFor (r.slotIndex, tag), 2.0f, true);
        if (levels.size() > 1)
        {
            const auto i = static_cast<float> (std::find (group.begin(), group.end(), &r) - group.begin());
            trace.name << " " << juce::String (std::lround (r.levelDb)) << " dB";
            trace.colour = trace.colour.withMultipliedBrightness (0.55f + 0.45f * i / static_cast<float> (group.size() - 1));
        }

        if (view == 1)
        {
            std::vector<float> wrapped (r.phaseDeg.size());
            std::transform (r.phaseDeg.begin(), r.phaseDeg.end(), wrapped.begin(),
                            [] (float p) { return static_cast<float> (std::remainder (static_cast<double> (p), 360.0)); });
            addPoints (trace, r.freqHz, wrapped);
        }
        else if (view == 2)
        {
            addPoints (trace, r.freqHz, groupDelayMs (r.freqHz, r.phaseDeg));
        }
        else
        {
            addPoints (trace, r.freqHz, r.magSmoothedDb);
        }

        for (const auto& p : trace.points)
        {
            largestAbs = std::max (largestAbs, std::abs (p.y));
            hi = std::max (hi, p.y);
            lo = std::min (lo, p.y);
        }
        if (r.timeVariant)
            model.badge = "TIME-VARIANT";
        model.traces.push_back (std::move (trace));
    }

    if (view == 1)
    {
        model.yAxis.label = "phase (deg, wrapped)";
        model.yAxis.min = -195.0;
        model.yAxis.max = 195.0;
        return;
    }
    if (view == 2)
    {
        const auto half = model.traces.empty() ? 1.25 : std::max (0.5, 1.25 * largestAbs);
        model.yAxis.label = "excess group delay (ms)";
        model.yAxis.min = -half;
        model.yAxis.max = half;
        return;
    }

    if (model.traces.empty() || hi < lo)
    {
        hi = 12.0;
        lo = -12.0;
    }
    const auto s = 0.65 * std::max (hi - lo, 12.0);
    const auto c = (hi + lo) * 0.5;
    auto newLo = 3.0 * std::floor ((c - s) / 3.0);
    auto newHi = 3.0 * std::ceil ((c + s) / 3.0);

    // Live frames ease the range: it widens at once and narrows 4 % of the way per rebuild.
    if (memory != nullptr)
    {
        if (state.stores.curvesLive && memory->hasRange)
        {
            newLo = newLo < memory->lo ? newLo : memory->lo + 0.04 * (newLo - memory->lo);
            newHi = newHi > memory->hi ? newHi : memory->hi + 0.04 * (newHi - memory->hi);
        }
        memory->hasRange = true;
        memory->lo = newLo;
        memory->hi = newHi;
    }
    model.yAxis.label = "dB";
    model.yAxis.min = newLo;
    model.yAxis.max = newHi;
}

void TrChartTabs::dynamics (const TrViewState& state, TrChart::Model& model)
{
    const auto& store = state.stores.dynamics;
    const auto& settings = state.chips.dynamics;
    std::vector<const TrDynamicsResult*> drawn;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.inDb.empty()))
            drawn.push_back (&r);

    model.xAxis = {};
    if (state.chips.dynamicsView == 0)
    {
        const auto sidechain = std::any_of (drawn.begin(), drawn.end(), [] (const auto* r) { return r->externalSidechain; });
        model.xAxis.min = model.yAxis.min = settings.startDb;
        model.xAxis.max = model.yAxis.max = settings.endDb;
        model.xAxis.label = sidechain ? "sidechain in (dBFS)" : "in (dBFS)";
        model.yAxis.label = "out (dBFS)";

        auto unity = plainTrace ({}, Colours::textDim.withAlpha (static_cast<juce::uint8> (0x80)), 1.0f, false);
        unity.points = { { settings.startDb, settings.startDb }, { settings.endDb, settings.endDb } };
        model.traces.push_back (unity);

        for (const auto* r : drawn)
        {
            const auto tag = TrDrawn::channelTag (store, *r);
            auto trace = plainTrace (TrDrawn::baseName (r->slotIndex, tag), TrDrawn::colourFor (r->slotIndex, tag), 2.2f, true);
            addPoints (trace, r->inDb, r->outDb);
            if (r->ratio > 1.05 && ! trace.points.empty())
            {
                auto at = trace.points.front();
                for (const auto& p : trace.points)
                    if (p.x >= r->thresholdDb)
                    {
                        at = p;
                        break;
                    }
                model.markers.push_back ({ at.x, at.y, "THR " + TrSlotStyle::slotLetter (r->slotIndex), trace.colour, false });
            }
            model.traces.push_back (std::move (trace));
        }
        return;
    }

    model.xAxis.min = -0.4;
    model.xAxis.max = settings.burstHighSeconds + settings.burstLowAfterSeconds;
    model.xAxis.label = "seconds";
    model.yAxis.label = "dB";

    // The range holds the input, the output and the gain reduction: absolute levels sit far from 0 dB.
    auto smallest = 1e300, largest = -1e300;
    for (const auto* r : drawn)
        for (const auto* curve : { &r->envInDb, &r->envOutDb, &r->envGainDb })
            for (auto v : *curve)
                if (std::isfinite (v) && v > -100.0f)
                {
                    smallest = std::min (smallest, static_cast<double> (v));
                    largest = std::max (largest, static_cast<double> (v));
                }
    model.yAxis.max = largest > -1e300 ? std::max (3.0, 6.0 * std::ceil ((largest + 3.0) / 6.0)) : 3.0;
    model.yAxis.min = smallest < 1e300 ? std::max (-90.0, 6.0 * std::floor ((smallest - 3.0) / 6.0)) : -42.0;

    for (size_t i = 0; i < drawn.size(); ++i)
    {
        const auto& r = *drawn[i];
        if (i == 0)
        {
            auto input = plainTrace ("input", Colours::textDim, 1.2f, true);
            addPoints (input, r.envTimeSec, r.envInDb);
            model.traces.push_back (input);
        }
        const auto tag = TrDrawn::channelTag (store, r);
        const auto colour = TrDrawn::colourFor (r.slotIndex, tag);
        auto out = plainTrace (TrDrawn::baseName (r.slotIndex, tag) + " out", colour, 2.2f, true);
        addPoints (out, r.envTimeSec, r.envOutDb);
        auto gr = plainTrace (TrDrawn::baseName (r.slotIndex, tag) + " GR", colour.withMultipliedBrightness (0.55f), 2.2f, true);
        addPoints (gr, r.envTimeSec, r.envGainDb);
        model.traces.push_back (out);
        model.traces.push_back (gr);
    }
}

void TrChartTabs::scope (const TrViewState& state, TrChart::Model& model)
{
    const auto& store = state.stores.scope;
    std::vector<const TrScopeResult*> drawn;
    double end = 0.0, peak = 1.0;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.timeMs.empty()))
        {
            drawn.push_back (&r);
            end = std::max (end, static_cast<double> (r.timeMs.back()));
            for (auto v : r.outputWave)
                if (std::isfinite (v))
                    peak = std::max (peak, std::abs (static_cast<double> (v)));
        }

    model.xAxis = {};
    model.xAxis.min = 0.0;
    model.xAxis.max = drawn.empty() ? 4.0 : end;
    model.xAxis.label = "ms";
    model.yAxis.label = "amplitude";
    model.yAxis.min = -1.15 * peak;
    model.yAxis.max = 1.15 * peak;

    for (const auto level : { 1.0, -1.0 })
    {
        auto clip = plainTrace ({}, Colours::mute.withAlpha (static_cast<juce::uint8> (0x59)), 1.0f, false);
        clip.points = { { model.xAxis.min, level }, { model.xAxis.max, level } };
        model.traces.push_back (clip);
    }
    for (size_t i = 0; i < drawn.size(); ++i)
    {
        const auto& r = *drawn[i];
        if (i == 0)
        {
            auto input = plainTrace ("input", Colours::textDim, 1.2f, true);
            addPoints (input, r.timeMs, r.inputWave);
            model.traces.push_back (input);
        }
        const auto tag = TrDrawn::channelTag (store, r);
        auto out = plainTrace (TrDrawn::baseName (r.slotIndex, tag), TrDrawn::colourFor (r.slotIndex, tag), 2.2f, true);
        addPoints (out, r.timeMs, r.outputWave);
        model.traces.push_back (out);
    }
}

void TrChartTabs::nullAb (const TrViewState& state, TrChart::Model& model)
{
    std::vector<const TrNullResult*> drawn;
    for (const auto& r : state.stores.nulls)
        if (r.error.isEmpty() && ! r.freqHz.empty())
            drawn.push_back (&r);

    model.yAxis.label = "dBFS";
    model.yAxis.min = -140.0;
    model.yAxis.max = 0.0;
    if (! drawn.empty())
        model.xAxis.max = drawn.front()->sampleRate * 0.5;

    for (const auto* r : drawn)
    {
        const auto suffix = drawn.size() > 1 ? "  (" + r->channelName + ")" : juce::String();
        if (drawn.size() == 1)
        {
            if (state.slots[0].loaded)
            {
                auto a = plainTrace ("A  " + r->nameA, Colours::gold, 2.0f, true);
                addPoints (a, r->freqHz, r->specADb);
                model.traces.push_back (a);
            }
            if (state.slots[1].loaded)
            {
                auto b = plainTrace ("B  " + r->nameB + "  (matched)", Colours::steel, 2.0f, true);
                addPoints (b, r->freqHz, r->specBDb);
                model.traces.push_back (b);
            }
        }
        auto diff = plainTrace ("A - B difference" + suffix,
                                r->channelName == "right" && drawn.size() > 1 ? Colours::mute.withRotatedHue (0.45f) : Colours::mute, 1.6f, true);
        diff.fill = true;
        addPoints (diff, r->freqHz, r->specDiffDb);
        model.traces.push_back (diff);
    }
}

void TrChartTabs::perf (const TrViewState& state, TrChart::Model& model)
{
    const auto& store = state.stores.perf;
    double smallestBlock = 1e300, largestBlock = 0.0, largestPercent = 0.0;
    std::set<double> sizes;
    std::vector<const TrPerfResult*> drawn;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.blockSizes.empty()))
        {
            drawn.push_back (&r);
            for (auto b : r.blockSizes)
            {
                smallestBlock = std::min (smallestBlock, static_cast<double> (b));
                largestBlock = std::max (largestBlock, static_cast<double> (b));
                sizes.insert (b);
            }
            for (auto p : r.percentRealtime)
                if (std::isfinite (p))
                    largestPercent = std::max (largestPercent, static_cast<double> (p));
        }

    model.xAxis = {};
    model.xAxis.logScale = true;
    model.xAxis.label = "block size (samples)";
    model.xAxis.min = (drawn.empty() ? 32.0 : smallestBlock) / 1.15;
    model.xAxis.max = (drawn.empty() ? 1024.0 : largestBlock) * 1.15;
    // The tested sizes are the grid: a frequency grid would label 20, 50, 100 on a block axis.
    if (sizes.empty())
        sizes = { 32, 64, 128, 256, 512, 1024 };
    for (auto b : sizes)
        model.xAxis.ticks.emplace_back (b, juce::String (static_cast<int> (b)));
    model.yAxis.label = "% of realtime budget";
    model.yAxis.min = 0.0;
    model.yAxis.max = std::max (1.0, 1.25 * largestPercent);

    for (const auto* r : drawn)
    {
        const auto tag = TrDrawn::channelTag (store, *r);
        auto trace = plainTrace (TrDrawn::baseName (r->slotIndex, tag), TrDrawn::colourFor (r->slotIndex, tag), 2.2f, true);
        addPoints (trace, r->blockSizes, r->percentRealtime);
        for (const auto& p : trace.points)
            model.markers.push_back ({ p.x, p.y, {}, trace.colour, false });
        model.traces.push_back (std::move (trace));
    }
}

void TrChartTabs::checks (const TrViewState& state, TrChart::Model& model)
{
    const auto& store = state.stores.checks;
    double largest = -1e300, smallest = 1e300;
    std::vector<const TrChecksResult*> drawn;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.noiseFreqHz.empty()))
        {
            drawn.push_back (&r);
            largest = std::max (largest, r.selfNoiseDbfs);
            for (auto v : r.noiseSpecDb)
                if (std::isfinite (v))
                    smallest = std::min (smallest, static_cast<double> (v));
        }

    const auto hi = std::max (-100.0, largest + 12.0);
    const auto lo = std::min (-180.0, smallest - 6.0);
    model.yAxis.label = "dBFS (output on silence)";
    model.yAxis.min = std::max (-260.0, 20.0 * std::floor (lo / 20.0));
    model.yAxis.max = std::min (0.0, 20.0 * std::ceil (hi / 20.0));

    for (const auto* r : drawn)
    {
        const auto tag = TrDrawn::channelTag (store, *r);
        auto trace = plainTrace (TrDrawn::baseName (r->slotIndex, tag) + " idle", TrDrawn::colourFor (r->slotIndex, tag), 1.6f, true);
        trace.fill = drawn.size() == 1;
        addPoints (trace, r->noiseFreqHz, r->noiseSpecDb);
        model.traces.push_back (std::move (trace));
    }
}

TrChart::Model rebuildChart (const TrViewState& state, TrChartMemory* memory)
{
    TrChart::Model model;
    model.xAxis = TrChart::frequencyAxis (measuredRate (state));

    switch (state.tab)
    {
        case TrTab::curve:     TrChartTabs::curve (state, model, memory); break;
        case TrTab::harmonics: TrChartTabs::harmonics (state, model); break;
        case TrTab::dynamics:  TrChartTabs::dynamics (state, model); break;
        case TrTab::scope:     TrChartTabs::scope (state, model); break;
        case TrTab::nullAb:    TrChartTabs::nullAb (state, model); break;
        case TrTab::perf:      TrChartTabs::perf (state, model); break;
        case TrTab::checks:    TrChartTabs::checks (state, model); break;
    }

    // A held reference lies under the new traces, and only where its axes still mean the same.
    const auto& held = state.held[static_cast<size_t> (state.tab)];
    const auto sameHarmonicsView = state.tab != TrTab::harmonics
                                   || (held.harmonicsMode == state.chips.harmonicsMode && held.spectrumView == state.chips.spectrumView);
    if (held.held && held.xLabel == model.xAxis.label && held.yLabel == model.yAxis.label && sameHarmonicsView)
    {
        const auto shift = static_cast<int> (held.traces.size());
        for (auto& t : model.traces)
            if (t.bandPartner >= 0)
                t.bandPartner += shift;
        auto references = held.traces;
        for (auto& t : references)
            t.bandPartner = -1;
        model.traces.insert (model.traces.begin(), references.begin(), references.end());
    }
    return model;
}
