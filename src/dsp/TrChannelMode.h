#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** Which of the plugin's two main channels a measurement drives and reads. The stimulus always
    goes into both of the first two inputs (the second one negated in side mode). */
enum class TrChannelMode : int
{
    left = 0,   // reads output 0
    right = 1,  // reads output 1
    mid = 2,    // reads (output 0 + output 1) / 2
    side = 3,   // drives x and -x, reads (output 0 - output 1) / 2
    stereo = 4  // rendered like left; callers compare the channels themselves
};

/** "left", "right", "mid", "side" or "stereo"; any other value reads as "left". */
juce::String channelModeName (TrChannelMode mode);

/** Puts one stimulus sample into the first two channels of a render buffer. */
inline void writeStimulus (juce::AudioBuffer<float>& buffer, int index, float value, TrChannelMode mode) noexcept
{
    buffer.setSample (0, index, value);
    buffer.setSample (1, index, mode == TrChannelMode::side ? -value : value);
}

/** Reads the measured output sample of a render buffer for the channel mode. */
inline double readOutput (const juce::AudioBuffer<float>& buffer, int index, TrChannelMode mode) noexcept
{
    const double first = buffer.getSample (0, index);
    const double second = buffer.getSample (1, index);

    switch (mode)
    {
        case TrChannelMode::right: return second;
        case TrChannelMode::mid:   return (first + second) * 0.5;
        case TrChannelMode::side:  return (first - second) * 0.5;
        case TrChannelMode::left:
        case TrChannelMode::stereo:
        default:                   return first;
    }
}
