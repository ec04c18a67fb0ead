#pragma once

#include "TrChart.h"
#include "ui/TrViewState.h"

#include <functional>

/** How two single-tone spectra share a chart. */
struct AbHarmView
{
    bool spursOnly = false;
    bool mirror = false;
    /** The slot drawn upwards in the mirror view. */
    int upperSlot = 0;
};

/** Kept between rebuilds of one window: the live magnitude range, which eases rather than jumps. */
struct TrChartMemory
{
    bool hasRange = false;
    double lo = 0.0, hi = 0.0;
};

/** The chart of the state's active tab and views, built from its stored results. */
TrChart::Model rebuildChart (const TrViewState& state, TrChartMemory* memory = nullptr);

/** Appends one single-tone spectrum trace with its harmonic and spur markers; in the spurs-only
    view widens [minDb, maxDb] by every plotted level. */
void addHarmonicsTrace (TrChart::Model& model, const TrHarmonicsResult& result, int slot, const juce::String& label,
                        const AbHarmView& view, bool labelHarmonics, double& minDb, double& maxDb);

/** A spectrum reduced to at most 2048 points: bins from 20 Hz up to half the rate, grouped into
    logarithmic buckets, the loudest bin of each; skip leaves bins out. */
std::vector<TrChart::Point> logBucketMax (const std::vector<float>& spectrumDb, double binHz, double sampleRate,
                                          const std::function<bool (int bin)>& skip = {});

/** The spurs-only y range around the plotted levels: 20 dB steps, at least 60 dB tall, within -240..0. */
void setSpursRange (TrChart::Model& model, double minDb, double maxDb);

/** The mirror view's axis: -320..0 with A's levels above the emphasised -160 midline and B's below. */
void setMirrorAxis (TrChart::Model& model);
