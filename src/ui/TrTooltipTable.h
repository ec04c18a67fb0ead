#pragma once

#include "TrReadout.h"

/** One row of a table of hover explanations, keyed by a label. */
struct TooltipEntry
{
    const char* label;
    const char* title;
    const char* body;
};

/** The explanation of the label in the table; empty when it has none. Texts are UTF-8. */
template <typename Table>
Tooltip lookUpTooltip (const Table& table, const juce::String& label)
{
    for (const auto& e : table)
        if (label == e.label)
            return { juce::String (juce::CharPointer_UTF8 (e.title)), juce::String (juce::CharPointer_UTF8 (e.body)) };
    return {};
}
