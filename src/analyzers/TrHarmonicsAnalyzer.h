#pragma once

#include "dsp/TrRender.h"
#include "hosting/TrPluginSlot.h"
#include "results/TrHarmonicsRecords.h"

/** What a plugin adds to tones: harmonic distortion, noise, aliasing, DC and true peak of one
    tone; THD over frequency or level; two-tone intermodulation. Each measurement takes the
    slot's processing lock for its whole run and resets the plugin once at its start; the slot
    must be prepared at the parameters' sample rate and block size. */
class TrHarmonicsAnalyzer final
{
public:
    using Params = TrHarmonicsParams;
    using SweepParams = TrThdSweepParams;
    using ImdParams = TrImdParams;

    /** One tone snapped to an odd bin, settled for a second past the plugin's latency, analysed
        over two consecutive blocks of fftSize samples (the second for the repeat test). */
    static TrHarmonicsResult run (TrPluginSlot& slot, const Params& params, std::atomic<float>* progress,
                                  const TrCancel& cancel);

    /** THD, THD+N, alias and H2..H5 over a log frequency grid or a level ramp. */
    static TrThdSweepResult runThdSweep (TrPluginSlot& slot, const SweepParams& params, std::atomic<float>* progress,
                                         const TrCancel& cancel);

    /** SMPTE (60 Hz + 7 kHz, 4:1) or CCIF (19 + 20 kHz, 1:1) intermodulation. */
    static TrImdResult runImd (TrPluginSlot& slot, const ImdParams& params, std::atomic<float>* progress,
                               const TrCancel& cancel);
};
