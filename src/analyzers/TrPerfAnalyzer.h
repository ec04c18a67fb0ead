#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrPerfRecords.h"

/** What a plugin costs in processor time: processBlock timed at several block sizes, split by a
    straight-line fit into a per-sample and a per-call part, the share of the real-time budget at
    512 samples, the slowest 512-sample block, and whether silence after a tone makes it slower
    (denormal trouble). The plugin is re-prepared per block size and always handed back prepared
    at the slot's own rate and block size. */
class TrPerfAnalyzer final
{
public:
    using Params = TrPerfParams;

    static TrPerfResult run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel);
};
