#include "TrApplyParams.h"

#include "app/TrConsole.h"
#include "results/TrNumberFormat.h"

#include <optional>

namespace
{
constexpr int nameLength = 128;
constexpr int textLength = 64;
constexpr int settleBlocks = 50;
constexpr int settleBlockSize = 512;

int findParameter (const juce::Array<juce::AudioProcessorParameter*>& params, const juce::String& name)
{
    for (int i = 0; i < params.size(); ++i)
        if (juce::String (i) == name || params[i]->getName (nameLength).equalsIgnoreCase (name))
            return i;

    for (int i = 0; i < params.size(); ++i)
        if (params[i]->getName (nameLength).containsIgnoreCase (name))
            return i;

    return -1;
}

/** The value as a normalised position, or nothing when it is not a number from 0 to 1. */
std::optional<float> normalisedValue (const juce::String& text)
{
    const auto value = TrNumberFormat::read (text.trim());
    if (! value || *value < 0.0 || *value > 1.0)
        return std::nullopt;

    return static_cast<float> (*value);
}

void settle (juce::AudioPluginInstance& instance)
{
    const auto channels = juce::jmax (2, instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels());
    juce::AudioBuffer<float> buffer (channels, settleBlockSize);
    juce::MidiBuffer midi;

    for (int i = 0; i < settleBlocks; ++i)
    {
        buffer.clear();
        midi.clear();
        instance.processBlock (buffer, midi);
    }
}
}

juce::String applyParams (juce::AudioPluginInstance& instance, const juce::StringArray& assignments, const juce::String& option)
{
    const auto& params = instance.getParameters();
    std::vector<std::pair<int, float>> settings;

    for (const auto& assignment : assignments)
    {
        const auto problem = option + " " + assignment + ": ";
        if (! assignment.contains ("="))
            return problem + "give name=value";

        const auto name = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
        const auto index = findParameter (params, name);
        if (name.isEmpty() || index < 0)
            return problem + "no parameter named " + name + " (--list-params shows them)";

        const auto value = normalisedValue (assignment.fromFirstOccurrenceOf ("=", false, false));
        if (! value.has_value())
            return problem + "the value must be the normalised position from 0 to 1 (--list-params shows each one beside its plain value)";

        settings.emplace_back (index, *value);
    }

    for (const auto& [index, value] : settings)
    {
        auto* p = params[index];
        p->setValueNotifyingHost (value);
        TrConsole::print ("set [" + juce::String (index) + "] " + p->getName (nameLength) + " = "
                          + p->getText (p->getValue(), textLength) + "\n");
    }

    settle (instance);
    return {};
}
