#include "TrApplyParams.h"

#include "app/TrConsole.h"

#include <cmath>

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

float normalisedValue (const juce::String& text)
{
    const auto value = static_cast<float> (text.getDoubleValue());

    if (std::isnan (value))
        return 0.0f;

    return juce::jlimit (0.0f, 1.0f, value);
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

void applyParams (juce::AudioPluginInstance& instance, const juce::StringArray& assignments)
{
    const auto& params = instance.getParameters();

    for (const auto& assignment : assignments)
    {
        const auto name = assignment.upToFirstOccurrenceOf ("=", false, false).trim();
        const auto value = normalisedValue (assignment.fromFirstOccurrenceOf ("=", false, false));
        const auto index = findParameter (params, name);

        if (index < 0)
        {
            TrConsole::print ("param not found: " + name + "\n");
            continue;
        }

        auto* p = params[index];
        p->setValueNotifyingHost (value);
        TrConsole::print ("set [" + juce::String (index) + "] " + p->getName (nameLength) + " = "
                          + p->getText (p->getValue(), textLength) + "\n");
    }

    settle (instance);
}
