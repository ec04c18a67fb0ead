#include "TrChartTabs.h"
#include "ui/TrDrawn.h"
#include "ui/UxPanelTheme.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int bucketCount = 2048;
constexpr double markerFloorDb = -140.0;

double levelAt (const std::vector<float>& spectrum, int bin)
{
    return spectrum[static_cast<size_t> (bin)];
}

/** Sorting and drawing order of single-tone results, and which one is drawn upwards. */
struct Drawn
{
    const TrHarmonicsResult* result;
    juce::String tag;
};
}

std::vector<TrChart::Point> logBucketMax (const std::vector<float>& spectrumDb, double binHz, double sampleRate,
                                          const std::function<bool (int bin)>& skip)
{
    std::vector<TrChart::Point> points;
    if (spectrumDb.size() < 2 || binHz <= 0.0 || sampleRate <= 40.0)
        return points;

    const auto lo = std::log10 (20.0);
    const auto span = std::log10 (sampleRate * 0.5) - lo;
    int bucket = -1;
    for (int l = 1; l < static_cast<int> (spectrumDb.size()); ++l)
    {
        const auto f = l * binHz;
        if (f < 20.0 || (skip && skip (l)))
            continue;

        // The Nyquist bin itself lands on 2048, one past the last bucket.
        const auto b = std::min (bucketCount - 1, static_cast<int> ((std::log10 (f) - lo) / span * bucketCount));
        const auto level = static_cast<double> (spectrumDb[static_cast<size_t> (l)]);
        if (b != bucket)
        {
            points.push_back ({ f, level });
            bucket = b;
        }
        else if (level > points.back().y)
        {
            points.back() = { f, level };
        }
    }
    return points;
}

void addHarmonicsTrace (TrChart::Model& model, const TrHarmonicsResult& r, int slot, const juce::String& label,
                        const AbHarmView& view, bool labelHarmonics, double& minDb, double& maxDb)
{
    TrChart::Trace trace;
    trace.name = label + "  " + r.pluginName + (view.spursOnly ? " spurs" : "");
    trace.colour = slot == 0 ? UxPanelTheme::Colours::gold : UxPanelTheme::Colours::steel;
    trace.thickness = 1.6f;
    trace.glow = true;
    trace.fill = slot == view.upperSlot && ! view.spursOnly && ! view.mirror;
    const auto down = view.mirror && slot != view.upperSlot;

    const auto transform = [&] (double level) {
        if (view.spursOnly)
        {
            minDb = std::min (minDb, level);
            maxDb = std::max (maxDb, level);
        }
        if (! view.mirror)
            return level;
        const auto clamped = juce::jlimit (-158.0, 0.0, level);
        return down ? -320.0 - clamped : clamped;
    };

    const auto exclusion = std::max (3, static_cast<int> (std::lround (0.02 * r.bin)));
    const auto nearHarmonic = [&] (int l) {
        if (r.bin < 1)
            return false;
        const auto h = std::max (1L, std::lround (static_cast<double> (l) / r.bin));
        return std::abs (l - h * r.bin) <= exclusion;
    };

    trace.points = logBucketMax (r.spectrumDb, r.binHz, r.sampleRate,
                                 view.spursOnly ? std::function<bool (int)> (nearHarmonic) : std::function<bool (int)>());
    for (auto& p : trace.points)
        p.y = transform (p.y);

    const auto size = static_cast<int> (r.spectrumDb.size());
    if (! view.spursOnly && r.bin > 0)
        for (int n = 2; n <= 10 && n * r.bin < size; ++n)
        {
            const auto level = levelAt (r.spectrumDb, n * r.bin);
            if (level >= markerFloorDb)
                model.markers.push_back ({ n * r.bin * r.binHz, transform (level), labelHarmonics ? "H" + juce::String (n) : juce::String(),
                                           trace.colour, false });
        }

    if (isRealAlias (r) && r.aliasPeakDb > markerFloorDb && r.aliasPeakBin < size)
        model.markers.push_back ({ r.aliasPeakBin * r.binHz, transform (levelAt (r.spectrumDb, r.aliasPeakBin)),
                                   "SPUR " + juce::String (slot == 0 ? "A" : "B"), trace.colour, true });

    model.traces.push_back (std::move (trace));
}

void setSpursRange (TrChart::Model& model, double minDb, double maxDb)
{
    if (minDb > maxDb)
    {
        minDb = -180.0;
        maxDb = -80.0;
    }
    auto lo = std::max (-240.0, 20.0 * std::floor ((minDb - 6.0) / 20.0));
    const auto hi = std::min (0.0, 20.0 * std::ceil ((maxDb + 12.0) / 20.0));
    if (hi - lo < 60.0)
        lo = hi - 60.0;
    model.yAxis.min = lo;
    model.yAxis.max = hi;
}

void setMirrorAxis (TrChart::Model& model)
{
    model.yAxis.min = -320.0;
    model.yAxis.max = 0.0;
    model.yAxis.label = "dB re fundamental (A up / B down)";
    model.yAxis.ticks.clear();
    for (int v = 0; v >= -320; v -= 40)
    {
        const auto text = v == -160 ? juce::String ("=-160") : juce::String (v > -160 ? v : -320 - v);
        model.yAxis.ticks.emplace_back (static_cast<double> (v), text);
    }
}

namespace
{
void singleTone (const TrViewState& state, TrChart::Model& model)
{
    model.yAxis.min = -160.0;
    model.yAxis.max = 6.0;
    model.yAxis.label = "dB re fundamental";

    const auto& store = state.stores.harmonics;
    std::vector<Drawn> drawn;
    for (const auto& r : store)
        if (TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.spectrumDb.empty()))
            drawn.push_back ({ &r, TrDrawn::channelTag (store, r) });

    // Mirroring needs two slots to set against each other.
    auto lowestSlot = std::numeric_limits<int>::max();
    auto highestSlot = std::numeric_limits<int>::min();
    for (const auto& d : drawn)
    {
        lowestSlot = std::min (lowestSlot, d.result->slotIndex);
        highestSlot = std::max (highestSlot, d.result->slotIndex);
    }
    AbHarmView view;
    view.mirror = state.chips.spectrumView == 2 && highestSlot > lowestSlot;
    view.spursOnly = state.chips.spectrumView == 1;
    view.upperSlot = drawn.empty() ? 0 : lowestSlot;

    if (view.mirror)
        setMirrorAxis (model);
    else
        std::stable_sort (drawn.begin(), drawn.end(), [] (const Drawn& a, const Drawn& b) {
            return a.result->noiseFloorDb > b.result->noiseFloorDb;
        });
    if (view.spursOnly)
        model.yAxis.label = "spurs only (dB re fundamental)";

    double minDb = 1e9, maxDb = -1e9;
    for (size_t i = 0; i < drawn.size(); ++i)
    {
        const auto& r = *drawn[i].result;
        const auto firstMarker = model.markers.size();
        addHarmonicsTrace (model, r, r.slotIndex, TrDrawn::baseName (r.slotIndex, drawn[i].tag), view, i == 0, minDb, maxDb);

        auto& trace = model.traces.back();
        trace.colour = TrDrawn::colourFor (r.slotIndex, drawn[i].tag);
        trace.fill = drawn.size() == 1 && ! view.spursOnly && ! view.mirror;
        for (auto m = firstMarker; m < model.markers.size(); ++m)
            model.markers[m].colour = trace.colour;
        if (r.timeVariant)
            model.badge = "TIME-VARIANT";
    }

    if (view.spursOnly)
        setSpursRange (model, minDb, maxDb);
    else if (! view.mirror && model.traces.size() == 2)
        model.traces[0].bandPartner = 1;
}

void sweeps (const TrViewState& state, TrChart::Model& model, bool vsLevel)
{
    auto rate = 0.0;
    for (const auto& r : state.stores.thdSweeps)
        if (r.vsLevel == vsLevel && TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.x.empty()))
            rate = std::max (rate, r.sampleRate);
    if (rate <= 0.0)
        rate = state.chips.sampleRate;
    if (vsLevel)
    {
        model.xAxis = {};
        model.xAxis.min = -60.0;
        model.xAxis.max = 0.0;
        model.xAxis.label = "in (dBFS)";
    }
    else
    {
        model.xAxis.max = std::min (0.45 * rate, 20000.0);
    }
    model.yAxis.min = -160.0;
    model.yAxis.max = 0.0;
    const auto split = state.chips.thdView == 1;
    model.yAxis.label = split ? "H2..H5 (dB re fundamental)" : "THD (dB re fundamental)";

    const auto& store = state.stores.thdSweeps;
    const auto line = [] (const juce::String& name, juce::Colour colour, float thickness, bool glow,
                          const std::vector<float>& x, const std::vector<float>& y) {
        TrChart::Trace t;
        t.name = name;
        t.colour = colour;
        t.thickness = thickness;
        t.glow = glow;
        for (size_t i = 0; i < x.size() && i < y.size(); ++i)
            if (std::isfinite (x[i]) && std::isfinite (y[i]))
                t.points.push_back ({ x[i], y[i] });
        return t;
    };

    for (const auto& r : store)
    {
        if (r.vsLevel != vsLevel || ! TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.x.empty()))
            continue;
        const auto tag = TrDrawn::channelTag (store, r);
        const auto colour = TrDrawn::colourFor (r.slotIndex, tag);
        const auto name = TrDrawn::baseName (r.slotIndex, tag);
        if (split)
        {
            for (int n = 2; n <= 5; ++n)
            {
                const auto& h = r.harmonicDb[static_cast<size_t> (n - 2)];
                if (h.size() < r.x.size())
                    continue;
                model.traces.push_back (line (name + " H" + juce::String (n), colour.withMultipliedBrightness (1.0f - 0.18f * static_cast<float> (n - 2)),
                                              n == 2 ? 2.0f : 1.5f, n == 2, r.x, h));
            }
        }
        else
        {
            model.traces.push_back (line (name, colour, 2.2f, true, r.x, r.thdDb));
            model.traces.push_back (line (name + " THD+N", colour.withMultipliedBrightness (0.55f), 1.4f, false, r.x, r.thdnDb));
            model.traces.push_back (line (name + " ALIAS", colour.interpolatedWith (UxPanelTheme::Colours::mute, 0.55f), 1.4f, false, r.x, r.aliasDb));
        }
    }
}

void imd (const TrViewState& state, TrChart::Model& model, bool ccif)
{
    model.yAxis.min = -160.0;
    model.yAxis.max = 6.0;
    model.yAxis.label = "dB re fundamental";

    const auto& store = state.stores.imd;
    std::vector<const TrImdResult*> drawn;
    for (const auto& r : store)
        if ((r.standard == "CCIF") == ccif && TrDrawn::isDrawn (state, r.slotIndex, r.error, ! r.spectrumDb.empty()))
            drawn.push_back (&r);

    for (size_t i = 0; i < drawn.size(); ++i)
    {
        const auto& r = *drawn[i];
        const auto tag = TrDrawn::channelTag (store, r);
        TrChart::Trace trace;
        trace.name = TrDrawn::baseName (r.slotIndex, tag);
        trace.colour = TrDrawn::colourFor (r.slotIndex, tag);
        trace.thickness = 1.6f;
        trace.fill = drawn.size() == 1;
        trace.points = logBucketMax (r.spectrumDb, r.binHz, r.sampleRate);

        const auto size = static_cast<int> (r.spectrumDb.size());
        const auto binOf = [&] (double hz) { return r.binHz > 0.0 ? static_cast<int> (std::lround (hz / r.binHz)) : -1; };
        const auto labelled = [&] (const char* text) { return i == 0 ? juce::String (text) : juce::String(); };

        // A tone whose bin lies outside the spectrum has no level to show.
        for (const auto& [hz, text] : { std::make_pair (r.f1Hz, "F1"), std::make_pair (r.f2Hz, "F2") })
        {
            const auto bin = binOf (hz);
            if (bin >= 0 && bin < size)
                model.markers.push_back ({ hz, levelAt (r.spectrumDb, bin), labelled (text), trace.colour, false });
        }

        std::vector<std::pair<double, const char*>> products;
        if (ccif)
            products = { { r.f2Hz - r.f1Hz, "D2" }, { 2 * r.f1Hz - r.f2Hz, "D3" }, { 2 * r.f2Hz - r.f1Hz, "D3" } };
        else
            products = { { r.f2Hz - r.f1Hz, "IMD2" }, { r.f2Hz + r.f1Hz, "IMD2" }, { r.f2Hz - 2 * r.f1Hz, "IMD3" }, { r.f2Hz + 2 * r.f1Hz, "IMD3" } };
        for (const auto& [hz, text] : products)
        {
            const auto bin = binOf (hz);
            if (hz > 20.0 && hz < r.sampleRate * 0.5 && bin > 0 && bin < size && levelAt (r.spectrumDb, bin) >= -150.0)
                model.markers.push_back ({ hz, levelAt (r.spectrumDb, bin), labelled (text), trace.colour, true });
        }
        model.traces.push_back (std::move (trace));
    }
}
}

void TrChartTabs::harmonics (const TrViewState& state, TrChart::Model& model)
{
    switch (state.chips.harmonicsMode)
    {
        case 1:  sweeps (state, model, false); break;
        case 2:  sweeps (state, model, true); break;
        case 3:  imd (state, model, false); break;
        case 4:  imd (state, model, true); break;
        default: singleTone (state, model); break;
    }
}
