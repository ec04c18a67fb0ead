#include "TrFakePlugin.h"

namespace TrTest
{
namespace
{
class FakeParameter final : public juce::AudioPluginInstance::HostedParameter
{
public:
    explicit FakeParameter (const juce::String& parameterName) : name (parameterName) {}

    float getValue() const override { return value; }
    void setValue (float newValue) override { value = newValue; }
    float getDefaultValue() const override { return 0.0f; }
    juce::String getName (int maximumLength) const override { return name.substring (0, maximumLength); }
    juce::String getLabel() const override { return {}; }
    juce::String getText (float v, int) const override { return juce::String (v, 2); }
    float getValueForText (const juce::String& text) const override { return text.getFloatValue(); }
    juce::String getParameterID() const override { return name; }

private:
    const juce::String name;
    float value = 0.0f;
};
}

FakePlugin::FakePlugin (const juce::StringArray& parameterNames, const juce::AudioChannelSet& inputLayout,
                        const juce::AudioChannelSet& outputLayout)
    : AudioPluginInstance (BusesProperties()
                               .withInput ("In", inputLayout, true)
                               .withOutput ("Out", outputLayout.isDisabled() ? inputLayout : outputLayout, true)),
      inputs (inputLayout), outputs (outputLayout.isDisabled() ? inputLayout : outputLayout)
{
    for (const auto& n : parameterNames)
        addHostedParameter (std::make_unique<FakeParameter> (n));
}

void FakePlugin::fillInPluginDescription (juce::PluginDescription& d) const
{
    d.name = getName();
    d.pluginFormatName = "Fake";
    d.numInputChannels = inputs.size();
    d.numOutputChannels = outputs.size();
}

bool FakePlugin::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannelSet() == inputs && layouts.getMainOutputChannelSet() == outputs;
}

void FakePlugin::prepareToPlay (double, int maximumBlockSize)
{
    const auto checked = strictHost.preparing (maximumBlockSize);
    preparedBlockSize = maximumBlockSize;
}

void FakePlugin::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const auto checked = strictHost.processing (buffer.getNumSamples());
    ++processCalls;
    largestBlock = juce::jmax (largestBlock.load(), buffer.getNumSamples());
    channelsSeen = buffer.getNumChannels();

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        if (buffer.getMagnitude (ch, 0, buffer.getNumSamples()) != 0.0f)
            heardSound = true;

    if (onProcess)
        onProcess (buffer);
}
}
