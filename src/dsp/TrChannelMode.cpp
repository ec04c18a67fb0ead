#include "TrChannelMode.h"

#include "hosting/TrLv2Bundles.h"
#include "results/TrErrorTexts.h"

#include <algorithm>

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

namespace
{
std::vector<int> sidechainsInMainBus (const juce::AudioPluginInstance& plugin)
{
    const auto d = plugin.getPluginDescription();
    return d.pluginFormatName == juce::LV2PluginFormat::getFormatName() ? TrLv2Bundles::sidechainsInMainInput (d.fileOrIdentifier)
                                                                       : std::vector<int>();
}

TrMainChannels measuredChannels (const juce::AudioPluginInstance& plugin, size_t sidechains)
{
    const auto inputs = plugin.getMainBusNumInputChannels() - static_cast<int> (sidechains);
    return { juce::jlimit (1, 2, inputs), juce::jlimit (1, 2, plugin.getMainBusNumOutputChannels()) };
}
}

TrMainChannels mainChannelsOf (const juce::AudioPluginInstance& plugin)
{
    return measuredChannels (plugin, sidechainsInMainBus (plugin).size());
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
    : mode (channelMode),
      sidechains (sidechainsInMainBus (plugin)),
      mainBusInputs (std::max (1, plugin.getMainBusNumInputChannels())),
      totalInputs (plugin.getTotalNumInputChannels())
{
    channels = measuredChannels (plugin, sidechains.size());

    // The main inputs are the main bus's channels that are no sidechain, in order.
    int found = 0;
    for (int channel = 0; channel < mainBusInputs && found < 2; ++channel)
        if (std::find (sidechains.begin(), sidechains.end(), channel) == sidechains.end())
            inputs[found++] = channel;
}
