#pragma once

#include "dsp/TrChannelMode.h"
#include "hosting/TrSlotManager.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

/** Plays the null test's signal through the audio output: untouched, through slot A, through slot
    B, or A minus B, with B matched in loudness and time by the stored null result, so that what
    is heard is what the null test measured.

    The audio thread never allocates, locks (it only tries a slot's lock), logs or touches files:
    every buffer is sized at start for the block the plugins were prepared with, and a larger
    device block is processed in pieces of that size. */
class TrAuditionEngine final : public juce::AudioIODeviceCallback
{
public:
    enum Mode : int
    {
        untouched = 0,
        pluginA = 1,
        pluginB = 2,
        difference = 3
    };

    /** What B is matched with: the gain applied to it and how far it lags A, in samples. */
    struct Match
    {
        double gainDb = 0.0;
        double latencyDeltaSamples = 0.0;
    };

    explicit TrAuditionEngine (TrSlotManager& slots);

    /** Stops playback. */
    ~TrAuditionEngine() override;

    /** Opens the default output (through JACK when a JACK server runs, else ALSA), asking for the
        rate the null test measured at; prepares the loaded plugins for the device's rate and
        block and plays. Returns why it could not (nothing plays then), or empty. A signal file
        that is not there means pink noise. */
    juce::String start (const Match& match, const juce::String& signalFile, double wantedRate);

    /** Stops if playing; the loaded plugins go back to non-realtime processing. */
    void stop();

    /** Everything start does but the device: the signal, the match, the plugins and the buffers
        for this rate and block size; then the callback may be driven by hand. Returns why it
        could not, or empty. */
    juce::String prepare (const Match& match, const juce::String& signalFile, double rate, int blockSize);

    bool isPlaying() const noexcept { return playing.load(); }

    /** While playing: why the device stopped playing (a JACK server that quit, an error, a new
        rate), or empty. Message thread. */
    juce::String deviceProblem() const;

    /** Whether a slot now holds something other than what playback was prepared with. */
    bool slotsChanged() const;

    /** The device playing, and its rate, while playing. */
    juce::String deviceTypeName() const;
    double getDeviceSampleRate() const noexcept { return deviceSampleRate; }

    /** 0 dry, 1 A, 2 B, 3 A - B; any other value is silence. Any thread. */
    std::atomic<int> mode { pluginA };

    /** Level of the last block sent to the left output, dB; -100 while stopped. */
    std::atomic<float> outputLevelDb { silentDb };

    static constexpr float silentDb = -100.0f;
    /** Pink noise played when the null test used no file. */
    static constexpr int pinkNoiseSamples = 384000;
    static constexpr double maxFileSeconds = 60.0;
    /** The block asked of a device that lets the host choose. */
    static constexpr int preferredBlockSize = 512;

    void audioDeviceAboutToStart (juce::AudioIODevice* device) override;
    void audioDeviceIOCallbackWithContext (const float* const* inputs, int numInputs, float* const* outputs,
                                           int numOutputs, int numSamples,
                                           const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceStopped() override;
    void audioDeviceError (const juce::String& message) override;

private:
    /** One slot as playback was prepared: its plugin's generation, buffer, routing and delay. */
    struct SlotPlay
    {
        bool prepared = false;
        juce::uint64 generation = 0;
        juce::AudioBuffer<float> buffer;
        std::unique_ptr<TrChannelRoute> route;
        int outputs = 2;
        float gain = 1.0f;
        int delay = 0;
        int writeIndex = 0;
        std::array<std::vector<float>, 2> delayLines;
    };

    juce::String openDevice (double wantedRate);
    void closeDevice();
    juce::String readSignal (const juce::String& signalFile, double rate);
    void prepareSlot (int index, double rate, int blockSize);
    /** One piece of at most the prepared block size, written at offset; returns the sum of the
        squares of its left samples. */
    double renderPiece (float* const* outputs, int numOutputs, int offset, int count);
    bool renderSlot (int index, int count);
    /** The slot's output for sample i, through its delay line when it has one. */
    std::pair<float, float> slotSample (SlotPlay& play, bool rendered, int i);

    TrSlotManager& slotManager;
    std::unique_ptr<juce::AudioDeviceManager> deviceManager;
    /** Devices that stopped by themselves, kept until the engine goes: JUCE's JACK device, when
        its server quits, forgets its client without unregistering from it, and JACK goes on
        calling it for a while (possibly still inside its own shutdown when the stop is seen). */
    std::vector<std::unique_ptr<juce::AudioDeviceManager>> lostDevices;
    std::atomic<bool> playing { false };
    std::atomic<bool> deviceStopped { false }, deviceFailed { false }, rateChanged { false };

    // Written by the message thread only while no callback is installed.
    std::vector<float> signal;
    std::int64_t playPos = 0;
    double deviceSampleRate = 48000.0;
    int blockSize = 0;
    std::array<SlotPlay, TrSlotManager::numSlots> plays;
    std::vector<float> dry;
    juce::MidiBuffer midi;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrAuditionEngine)
};
