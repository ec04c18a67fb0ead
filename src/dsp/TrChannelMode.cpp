#include "TrChannelMode.h"

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
