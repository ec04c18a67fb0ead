#include "TrChannelMode.h"

#include "results/TrErrorTexts.h"

juce::String channelModeName (TrChannelMode mode)
{
    switch (mode)
    {
        case TrChannelMode::right:  return "right";
        case TrChannelMode::mid:    return "mid";
        case TrChannelMode::side:   return "side";
        case TrChannelMode::stereo: return "stereo";
        case TrChannelMode::left:
        default:                    return "left";
    }
}

TrMainChannels mainChannelsOf (const juce::AudioPluginInstance& plugin)
{
    return { juce::jlimit (1, 2, plugin.getMainBusNumInputChannels()), juce::jlimit (1, 2, plugin.getMainBusNumOutputChannels()) };
}

juce::String layoutName (TrMainChannels channels)
{
    if (channels.inputs == 1)
        return channels.outputs == 1 ? "mono" : "mono to stereo";
    return channels.outputs == 1 ? "stereo to mono" : "stereo";
}

juce::String channelModeProblem (TrChannelMode mode, TrMainChannels channels)
{
    if (mode == TrChannelMode::side && channels.outputs == 1)
        return TrErrorText::noSideOnMonoOutput;
    return {};
}

TrChannelRoute::TrChannelRoute (const juce::AudioPluginInstance& plugin, TrChannelMode channelMode)
    : channels (mainChannelsOf (plugin)), mode (channelMode), mainBusInputs (std::max (1, plugin.getMainBusNumInputChannels()))
{
}
