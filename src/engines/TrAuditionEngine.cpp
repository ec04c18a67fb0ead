#include "TrAuditionEngine.h"

#include "analyzers/TrNullSignal.h"
#include "dsp/TrDecibels.h"
#include "dsp/TrRender.h"
#include "results/TrNullRecords.h"

#include <cmath>

namespace
{
/** Events a plugin may add to the MIDI buffer without it growing on the audio thread. */
constexpr int midiBytesReserved = 4096;

/** What reaches the output: finite and within full scale, whatever a plugin produced. */
float speakerSafe (float x) noexcept
{
    return std::isfinite (x) ? juce::jlimit (-1.0f, 1.0f, x) : 0.0f;
}
}

TrAuditionEngine::TrAuditionEngine (TrSlotManager& slots) : slotManager (slots)
{
}

TrAuditionEngine::~TrAuditionEngine()
{
    stop();
}

juce::String TrAuditionEngine::start (const Match& match, const juce::String& signalFile, double wantedRate)
{
    stop();
    auto error = openDevice (wantedRate);
    if (error.isEmpty())
    {
        auto* device = deviceManager->getCurrentAudioDevice();
        error = prepare (match, signalFile, device->getCurrentSampleRate(), device->getCurrentBufferSizeSamples());
    }
    if (error.isNotEmpty())
    {
        closeDevice();
        return error;
    }

    deviceStopped = false;
    deviceFailed = false;
    rateChanged = false;
    deviceManager->addAudioCallback (this);
    playing = true;
    return {};
}

juce::String TrAuditionEngine::openDevice (double wantedRate)
{
    deviceManager = std::make_unique<juce::AudioDeviceManager>();

    // A running JACK server owns the sound card, so play through it; JUCE connects to a server
    // without starting one. Made afresh at each start, so that a server started since is found.
    if (std::unique_ptr<juce::AudioIODeviceType> jack { juce::AudioIODeviceType::createAudioIODeviceType_JACK() })
    {
        jack->scanForDevices();
        if (! jack->getDeviceNames (false).isEmpty())
            deviceManager->addAudioDeviceType (std::move (jack));
    }

    juce::AudioDeviceManager::AudioDeviceSetup setup;
    setup.sampleRate = wantedRate;
    setup.bufferSize = preferredBlockSize;
    const auto error = deviceManager->initialise (0, 2, nullptr, true, {}, &setup);
    if (error.isNotEmpty())
        return error;

    // Without a sound card the initialisation succeeds with nothing open.
    auto* device = deviceManager->getCurrentAudioDevice();
    if (device == nullptr || ! device->isOpen() || device->getActiveOutputChannels().isZero()
        || device->getCurrentBufferSizeSamples() < 1 || device->getCurrentSampleRate() <= 0.0)
        return "no audio output device";
    return {};
}

void TrAuditionEngine::closeDevice()
{
    if (deviceManager == nullptr)
        return;
    deviceManager->closeAudioDevice();
    deviceManager.reset();
}

juce::String TrAuditionEngine::prepare (const Match& match, const juce::String& signalFile, double rate, int block)
{
    if (auto error = readSignal (signalFile, rate); error.isNotEmpty())
        return error;

    playPos = 0;
    deviceSampleRate = rate;
    blockSize = block;
    dry.assign (static_cast<size_t> (block), 0.0f);
    midi.ensureSize (midiBytesReserved);

    // B lags A by the null test's delay: a positive one delays A to meet it, a negative one B.
    const auto lag = static_cast<int> (std::llround (match.latencyDeltaSamples));
    plays[0].delay = std::max (0, lag);
    plays[1].delay = std::max (0, -lag);
    plays[0].gain = 1.0f;
    plays[1].gain = static_cast<float> (dbToAmplitude (match.gainDb));
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
        prepareSlot (i, rate, block);
    return {};
}

juce::String TrAuditionEngine::readSignal (const juce::String& signalFile, double rate)
{
    const auto file = TrNullSignal::fileFor (signalFile);
    if (file == juce::File())
    {
        signal = TrNullSignal::pinkNoise (pinkNoiseSamples, TrNullParams {}.levelDb);
        return {};
    }

    // Read as the null test reads it, at the rate it plays at: what is heard is what was measured.
    juce::String name, error;
    return TrNullSignal::readFile (file, rate, maxFileSeconds, signal, name, error) ? juce::String() : error;
}

void TrAuditionEngine::prepareSlot (int index, double rate, int block)
{
    auto& play = plays[static_cast<size_t> (index)];
    auto& slot = slotManager.slot (index);
    play.prepared = false;
    play.route.reset();
    for (auto& line : play.delayLines)
        line.assign (static_cast<size_t> (std::max (1, play.delay)), 0.0f);
    play.writeIndex = 0;
    if (! slot.isLoaded())
        return;

    // Preparing again costs an LV2 plugin its instance and editor view: only when needed.
    if (slot.sampleRate != rate || slot.blockSize != block)
        slot.prepare (rate, block);

    const juce::ScopedLock sl (slot.lock);
    if (slot.instance == nullptr)
        return;
    auto& plugin = *slot.instance;
    plugin.setNonRealtime (false);
    play.generation = slot.generation;
    play.route = std::make_unique<TrChannelRoute> (plugin, TrChannelMode::stereo);
    play.buffer = makeRenderBuffer (plugin, block);
    play.outputs = mainChannelsOf (plugin).outputs;
    play.prepared = true;
}

void TrAuditionEngine::stop()
{
    if (! playing)
        return;

    deviceManager->removeAudioCallback (this);
    if (deviceStopped)
        lostDevices.push_back (std::move (deviceManager));
    else
        closeDevice();
    playing = false;
    outputLevelDb = silentDb;
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& slot = slotManager.slot (i);
        const juce::ScopedLock sl (slot.lock);
        if (slot.instance != nullptr)
            slot.instance->setNonRealtime (true);
    }
}

juce::String TrAuditionEngine::deviceProblem() const
{
    if (! playing)
        return {};
    if (deviceFailed)
        return "the audio device reported an error";
    if (rateChanged)
        return "the audio device changed its sample rate";
    if (deviceStopped)
        return "the audio device stopped";
    return {};
}

bool TrAuditionEngine::slotsChanged() const
{
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        const auto& play = plays[static_cast<size_t> (i)];
        auto& slot = slotManager.slot (i);
        const juce::ScopedLock sl (slot.lock);
        if ((slot.instance != nullptr) != play.prepared || (play.prepared && slot.generation != play.generation))
            return true;
    }
    return false;
}

juce::String TrAuditionEngine::deviceTypeName() const
{
    return deviceManager != nullptr ? deviceManager->getCurrentAudioDeviceType() : juce::String();
}

void TrAuditionEngine::audioDeviceAboutToStart (juce::AudioIODevice* device)
{
    // Also called when a device restarts (JACK does so when its ports are reconnected): the
    // plugins stay prepared for the rate playback started at.
    if (device != nullptr && std::abs (device->getCurrentSampleRate() - deviceSampleRate) > 0.5)
        rateChanged = true;
    deviceStopped = false;
}

void TrAuditionEngine::audioDeviceStopped()
{
    deviceStopped = true;
}

void TrAuditionEngine::audioDeviceError (const juce::String&)
{
    deviceFailed = true;
}

void TrAuditionEngine::audioDeviceIOCallbackWithContext (const float* const*, int, float* const* outputs, int numOutputs,
                                                         int numSamples, const juce::AudioIODeviceCallbackContext&)
{
    if (numOutputs < 1 || outputs == nullptr || outputs[0] == nullptr || numSamples < 1)
        return;

    for (int channel = 2; channel < numOutputs; ++channel)
        if (outputs[channel] != nullptr)
            juce::FloatVectorOperations::clear (outputs[channel], numSamples);

    if (signal.empty() || blockSize < 1)
    {
        for (int channel = 0; channel < std::min (2, numOutputs); ++channel)
            if (outputs[channel] != nullptr)
                juce::FloatVectorOperations::clear (outputs[channel], numSamples);
        outputLevelDb = silentDb;
        return;
    }

    double sum = 0.0;
    for (int offset = 0; offset < numSamples; offset += blockSize)
        sum += renderPiece (outputs, numOutputs, offset, std::min (blockSize, numSamples - offset));

    outputLevelDb = static_cast<float> (10.0 * std::log10 (std::max (1e-12, sum / numSamples)));
}

double TrAuditionEngine::renderPiece (float* const* outputs, int numOutputs, int offset, int count)
{
    const auto length = static_cast<std::int64_t> (signal.size());
    for (int i = 0; i < count; ++i)
    {
        dry[static_cast<size_t> (i)] = signal[static_cast<size_t> (playPos)];
        playPos = (playPos + 1) % length;
    }

    const bool rendered[] { renderSlot (0, count), renderSlot (1, count) };
    const auto currentMode = mode.load();
    auto* left = outputs[0] + offset;
    auto* right = numOutputs > 1 && outputs[1] != nullptr ? outputs[1] + offset : nullptr;

    double sum = 0.0;
    for (int i = 0; i < count; ++i)
    {
        // Both delay lines run in every mode, so that switching keeps A and B aligned.
        const auto a = slotSample (plays[0], rendered[0], i);
        const auto b = slotSample (plays[1], rendered[1], i);
        const auto x = dry[static_cast<size_t> (i)];

        std::pair<float, float> out { 0.0f, 0.0f };
        switch (currentMode)
        {
            case untouched:  out = { x, x }; break;
            case pluginA:    out = a; break;
            case pluginB:    out = b; break;
            case difference: out = { a.first - b.first, a.second - b.second }; break;
            default:         break;
        }

        const auto l = speakerSafe (out.first);
        left[i] = l;
        if (right != nullptr)
            right[i] = speakerSafe (out.second);
        sum += static_cast<double> (l) * l;
    }
    return sum;
}

bool TrAuditionEngine::renderSlot (int index, int count)
{
    auto& play = plays[static_cast<size_t> (index)];
    if (! play.prepared)
        return false;

    auto& slot = slotManager.slot (index);
    const juce::ScopedTryLock tryLock (slot.lock);
    // Busy elsewhere, or swapped or prepared again since the check: not this plugin's block.
    if (! tryLock.isLocked() || slot.instance == nullptr || slot.generation != play.generation)
        return false;

    for (int i = 0; i < count; ++i)
        play.route->write (play.buffer, i, dry[static_cast<size_t> (i)]);

    juce::AudioBuffer<float> piece (play.buffer.getArrayOfWritePointers(), play.buffer.getNumChannels(), count);
    midi.clear();
    slot.instance->processBlock (piece, midi);
    return true;
}

std::pair<float, float> TrAuditionEngine::slotSample (SlotPlay& play, bool rendered, int i)
{
    std::pair<float, float> s { 0.0f, 0.0f };
    if (rendered)
    {
        s.first = play.buffer.getSample (0, i) * play.gain;
        s.second = play.buffer.getSample (play.outputs > 1 ? 1 : 0, i) * play.gain;
    }
    if (play.delay < 1)
        return s;

    // One line per channel: a plugin whose channels differ is heard as it plays.
    const auto at = static_cast<size_t> (play.writeIndex);
    std::swap (s.first, play.delayLines[0][at]);
    std::swap (s.second, play.delayLines[1][at]);
    play.writeIndex = (play.writeIndex + 1) % play.delay;
    return s;
}
