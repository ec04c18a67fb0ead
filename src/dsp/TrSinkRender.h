#pragma once

#include "TrRender.h"

/** A render that streams: each input sample comes from a source function of the absolute sample
    index and each output sample goes to a sink with its index, so long renders need no capture
    buffer. Buffer and channel conventions as the other render loops. */
struct TrSinkRender
{
    juce::AudioPluginInstance& plugin;
    int blockSize;
    TrChannelMode mode;

    /** When set, the main inputs carry mainInput(n) and the source goes to every further input
        channel (a sidechain bus) instead. */
    std::function<double (long long)> mainInput;

    /** Renders `total` samples of source(n), handing each finite output sample (read per mode)
        to sink; a non-finite one sets nonFinite instead. False on cancel. */
    bool render (long long total, const std::function<double (long long)>& source,
                 const std::function<void (long long, double)>& sink, TrProgress progress, const TrCancel& cancel,
                 bool& nonFinite) const;
};
