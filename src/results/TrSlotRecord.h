#pragma once

#include "dsp/TrChannelMode.h"

#include <vector>

/** Sentinels shared by every result record. */
namespace TrSentinel
{
    /** A dB value that was not measured. */
    inline constexpr double notMeasuredDb = -999.0;
    /** A time, deviation or repeatability that was not measured. */
    inline constexpr double notMeasured = -1.0;
}

/** The fields every single-slot result record starts with. An empty error means success; a
    record with an error must not be judged or drawn as a measurement. */
struct TrSlotRecord
{
    int slotIndex = 0;
    juce::String pluginName;
    juce::String error;
};
