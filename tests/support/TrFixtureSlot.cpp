#include "TrFixtureSlot.h"

namespace TrTest
{
juce::String setParameters (juce::AudioPluginInstance& plugin, const juce::StringArray& assignments)
{
    juce::String unknown;
    for (const auto& assignment : assignments)
    {
        const auto name = assignment.upToFirstOccurrenceOf ("=", false, false);
        const auto text = assignment.fromFirstOccurrenceOf ("=", false, false);
        bool found = false;

        for (auto* p : plugin.getParameters())
        {
            if (p->getName (128) == name)
            {
                p->setValueNotifyingHost (p->getValueForText (text));
                found = true;
            }
        }

        if (! found)
            unknown = "no parameter named " + name;
    }

    juce::AudioBuffer<float> silence (2, 512);
    juce::MidiBuffer midi;
    for (int i = 0; i < 4; ++i)
    {
        silence.clear();
        plugin.processBlock (silence, midi);
    }

    return unknown;
}

juce::String loadFixture (TrPluginSlot& slot, const juce::StringArray& assignments, const juce::String& bundle)
{
    juce::String error;
    if (! slot.loadFromFile (fixture (bundle), error))
        return error;

    return setParameters (*slot.instance, assignments);
}
}
