#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrCurveRecords.h"

/** The linear transfer function of a plugin, by an exponential sine sweep and regularised
    deconvolution: magnitude and phase curves, gain at 1 kHz, the true delay against the one
    reported, polarity, phase character and, with repeat, whether a second identical sweep gives
    the same answer. The slot must be prepared at the parameters' rate and block size. */
class TrFreqResponseAnalyzer final
{
public:
    using Params = TrCurveParams;

    static TrCurveResult run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress, const TrCancel& cancel);
};
