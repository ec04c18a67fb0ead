#pragma once

#include "TrStrictHost.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

namespace TrTest
{
    /** An in-process plugin instance with a fixed channel layout and named parameters, which
        records how it is called. Processing leaves the audio untouched (a wire) unless
        onProcess says otherwise. */
    class FakePlugin : public juce::AudioPluginInstance
    {
    public:
        explicit FakePlugin (const juce::StringArray& parameterNames = {},
                             const juce::AudioChannelSet& inputLayout = juce::AudioChannelSet::stereo(),
                             const juce::AudioChannelSet& outputLayout = {});

        void fillInPluginDescription (juce::PluginDescription& d) const override;
        const juce::String getName() const override { return "Fake"; }

        bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
        void prepareToPlay (double sampleRate, int maximumBlockSize) override;
        void releaseResources() override {}
        void reset() override { ++resets; }
        void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;

        double getTailLengthSeconds() const override { return 0.0; }
        bool acceptsMidi() const override { return false; }
        bool producesMidi() const override { return false; }
        bool hasEditor() const override { return false; }
        juce::AudioProcessorEditor* createEditor() override { return nullptr; }
        int getNumPrograms() override { return 1; }
        int getCurrentProgram() override { return 0; }
        void setCurrentProgram (int) override {}
        const juce::String getProgramName (int) override { return {}; }
        void changeProgramName (int, const juce::String&) override {}
        void getStateInformation (juce::MemoryBlock&) override {}
        void setStateInformation (const void*, int) override { const auto checked = strictHost.settingState(); }

        /** What the host did that a strict format forbids. */
        TrStrictHost strictHost;

        /** Replaces the wire with another behaviour. */
        std::function<void (juce::AudioBuffer<float>&)> onProcess;

        std::atomic<int> processCalls { 0 };
        std::atomic<int> resets { 0 };
        std::atomic<int> largestBlock { 0 };
        std::atomic<int> preparedBlockSize { 0 };
        std::atomic<bool> heardSound { false };
        std::atomic<int> channelsSeen { 0 };

    private:
        const juce::AudioChannelSet inputs, outputs;
    };
}
