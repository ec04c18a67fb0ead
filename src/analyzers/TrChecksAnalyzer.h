#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrChecksRecords.h"

/** Whether a plugin is honest about what hosts rely on without looking: the latency it reports
    (before and after audio has run) against its real delay, polarity, DC with and without
    signal, self-noise and its spectrum, and whether its bypass passes the signal untouched. The
    slot's lock is held for the whole run; the bypass parameter is always restored. */
class TrChecksAnalyzer final
{
public:
    using Params = TrChecksParams;

    static TrChecksResult run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel);
};
