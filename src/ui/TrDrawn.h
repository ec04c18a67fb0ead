#pragma once

#include "TrViewState.h"

/** Which results are shown and how they are named and coloured: one rule for the chart, the
    read-outs and the summary line. */
namespace TrDrawn
{
/** Whether a result is drawn: no error, data present, its slot shown. */
bool isDrawn (const TrViewState& state, int slot, const juce::String& error, bool hasData);

/** "L" or "R" when the store holds results of this slot on both left and right, else empty. */
template <typename Result>
juce::String channelTag (const std::vector<Result>& store, const Result& result)
{
    bool left = false, right = false;
    for (const auto& r : store)
        if (r.slotIndex == result.slotIndex)
        {
            left = left || r.channelName == "left";
            right = right || r.channelName == "right";
        }
    if (! (left && right))
        return {};
    return result.channelName == "right" ? "R" : (result.channelName == "left" ? "L" : juce::String());
}

/** The slot colour, at 0.7 of its brightness on the right channel. */
juce::Colour colourFor (int slot, const juce::String& tag);

/** The slot letter, and the tag after a space when there is one. */
juce::String baseName (int slot, const juce::String& tag);
}
