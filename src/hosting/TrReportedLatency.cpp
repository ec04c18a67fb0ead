#include "TrReportedLatency.h"

#include "TrPluginSlot.h"

#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>

namespace
{
struct AskTheVst3Processor final : juce::ExtensionsVisitor
{
    void visitVST3Client (const VST3Client& client) override
    {
        auto* component = client.getIComponentPtr();
        if (component == nullptr)
            return;

        Steinberg::Vst::IAudioProcessor* processor = nullptr;
        if (component->queryInterface (Steinberg::Vst::IAudioProcessor::iid, reinterpret_cast<void**> (&processor)) == Steinberg::kResultOk
            && processor != nullptr)
        {
            latency = static_cast<int> (processor->getLatencySamples());
            processor->release();
        }
    }

    int latency = -1;
};
}

int reportedLatency (juce::AudioPluginInstance& plugin)
{
    AskTheVst3Processor visitor;
    plugin.getExtensions (visitor);
    return visitor.latency >= 0 ? visitor.latency : plugin.getLatencySamples();
}

int latencyBeforeAudio (juce::AudioPluginInstance& plugin, int blockSize)
{
    if (isLv2 (plugin))
    {
        juce::AudioBuffer<float> silence (std::max ({ 2, plugin.getTotalNumInputChannels(), plugin.getTotalNumOutputChannels() }),
                                          blockSize);
        silence.clear();
        juce::MidiBuffer midi;
        plugin.processBlock (silence, midi);
    }

    return reportedLatency (plugin);
}
