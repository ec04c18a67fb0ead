#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrDynamicsRecords.h"

/** Characterises a level-dependent plugin: a stepped tone gives the static transfer curve and
    from it threshold, ratio, knee and make-up; a noise burst finds the real delay; a low-high-low
    tone burst gives the gain envelope with attack and release. Optionally the steps and the burst
    go to the sidechain bus while the main input carries a constant tone; the bus layout is then
    restored however the run ends. */
class TrDynamicsAnalyzer final
{
public:
    using Params = TrDynamicsParams;

    static TrDynamicsResult run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel);
};
