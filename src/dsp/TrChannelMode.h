#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Which of the plugin's main channels a measurement drives and reads. On a stereo plugin the
    stimulus goes into both of the first two inputs (the second one negated in side mode). */
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

/** The main channels a measurement uses: one or two in, one or two out (the first two of a
    wider main bus). */
struct TrMainChannels
{
    int inputs = 2;
    int outputs = 2;
};

/** The main channels of a prepared plugin; sidechain ports an LV2 plugin keeps in its main input
    bus do not count. */
TrMainChannels mainChannelsOf (const juce::AudioPluginInstance& plugin);

/** "stereo", "mono", "mono to stereo" or "stereo to mono". */
juce::String layoutName (TrMainChannels channels);

/** Why a mode cannot be measured on these channels ("a mono output has no side channel"), or
    empty. */
juce::String channelModeProblem (TrChannelMode mode, TrMainChannels channels);

/** How every render feeds and reads a plugin for a channel mode. A mono input takes the
    stimulus as it is in every mode; two inputs take it on both, the second negated in side mode.
    A mono output is the reading in every mode; two outputs are read per mode. Sidechain inputs
    stay silent unless fed on purpose. */
class TrChannelRoute
{
public:
    TrChannelRoute (const juce::AudioPluginInstance& plugin, TrChannelMode mode);

    /** Puts one stimulus sample into the main inputs of a render buffer, and silence into the
        sidechain inputs: a buffer channel can be a sidechain's input and an output at once, and
        would otherwise feed the last block's output back in. */
    void write (juce::AudioBuffer<float>& buffer, int index, float value) const noexcept
    {
        for (auto channel : sidechains)
            buffer.setSample (channel, index, 0.0f);
        for (int channel = mainBusInputs; channel < totalInputs; ++channel)
            buffer.setSample (channel, index, 0.0f);

        buffer.setSample (inputs[0], index, value);
        if (channels.inputs > 1)
            buffer.setSample (inputs[1], index, mode == TrChannelMode::side ? -value : value);
    }

    /** Puts one sample into every sidechain input of a render buffer, after write. */
    void writeSidechain (juce::AudioBuffer<float>& buffer, int index, float value) const noexcept
    {
        for (auto channel : sidechains)
            buffer.setSample (channel, index, value);
        for (int channel = mainBusInputs; channel < buffer.getNumChannels(); ++channel)
            buffer.setSample (channel, index, value);
    }

    /** Whether some of the main bus's inputs are sidechain ports, fed by writeSidechain. */
    bool hasSidechainInMainBus() const noexcept { return ! sidechains.empty(); }

    /** Reads the measured output sample of a render buffer. */
    double read (const juce::AudioBuffer<float>& buffer, int index) const noexcept
    {
        const double first = buffer.getSample (0, index);
        if (channels.outputs < 2)
            return first;

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

private:
    TrMainChannels channels;
    TrChannelMode mode;
    int inputs[2] { 0, 1 };
    std::vector<int> sidechains;
    int mainBusInputs;
    int totalInputs;
};
