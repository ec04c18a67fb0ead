#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace TrTest
{
    /** The report's lines without their line ends; every line must end in "\n". */
    juce::StringArray reportLines (const juce::String& report);

    /** The numbers standing where the pattern has "{}", when the rest of the line matches the
        pattern exactly; nothing when it does not. */
    std::optional<std::vector<double>> numbersIn (const juce::String& line, const juce::String& pattern);
}
