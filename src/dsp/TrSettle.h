#pragma once

#include "TrRender.h"

/** Runs a freshly reset plugin until it has settled, so that no measurement reads a fade-in, a
    parameter ramp or a smoother that is still moving. */
namespace TrSettle
{
    /** How a settle went. */
    struct Outcome
    {
        long long samples = 0; // rendered in all, signal and silence
        bool steady = false;   // the output stopped changing before the cap
    };

    /** Plays a periodic multitone (period about 85 ms, flat from 20 Hz to 0.45 x the rate) at the
        given peak amplitude until two successive periods of output agree within -50 dB, then
        silence until the output has decayed by 100 dB or stopped; each phase stops at the
        plugin's latency plus 2 s. A plugin that modulates itself runs to the cap. False on
        cancel (nothing else fails: the measurement that follows judges the output). */
    bool run (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize, TrChannelMode mode, double amplitude,
              const TrCancel& cancel, Outcome* outcome = nullptr);

    /** The multitone of one period, peak-normalised to the amplitude. */
    std::vector<float> multitone (int period, double sampleRate, double amplitude);

    /** The period for a rate: the power of two nearest 85 ms, at least 256 samples. */
    int periodFor (double sampleRate);
}
