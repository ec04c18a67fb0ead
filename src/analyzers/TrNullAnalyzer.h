#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrNullRecords.h"

/** Whether slots A and B really sound different: the same signal (pink noise, or the first 30 s
    of a sound file's first channel) through both, the outputs aligned to a fraction of a sample,
    loudness-matched and subtracted. Each slot's lock is held only while that slot renders. */
class TrNullAnalyzer final
{
public:
    using Params = TrNullParams;

    static TrNullResult run (TrPluginSlot& a, TrPluginSlot& b, const Params& params, std::atomic<float>* progress,
                             const TrCancel& cancel);
};
