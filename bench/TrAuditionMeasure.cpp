// The audition callback on a real device (JACK's dummy backend, 512 frames at 48 kHz): allocations
// on the audio thread, counted by a malloc hook, and the time the callback takes beyond what the
// plugins themselves cost, over 10 s of playback each with empty slots, with two in-process wires
// (the tests' double, which allocates nothing itself), and with two wire fixture VST3s, playing A
// minus B. Run by bench/audition.sh.
#include "TrFakePlugin.h"
#include "engines/TrAuditionEngine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>

extern "C" void* __libc_malloc (size_t);
extern "C" void* __libc_calloc (size_t, size_t);
extern "C" void* __libc_realloc (void*, size_t);
extern "C" void* __libc_memalign (size_t, size_t);

namespace
{
/** Set on the audio thread from its first callback on: every allocation there is counted. */
thread_local bool onAudioThread = false;
/** Set only while the engine's callback runs. */
thread_local bool inCallback = false;
std::atomic<long> audioThreadAllocations { 0 }, callbackAllocations { 0 };

void counted()
{
    if (onAudioThread)
        ++audioThreadAllocations;
    if (inCallback)
        ++callbackAllocations;
}
}

extern "C" void* malloc (size_t n)
{
    counted();
    return __libc_malloc (n);
}

extern "C" void* calloc (size_t n, size_t size)
{
    counted();
    return __libc_calloc (n, size);
}

extern "C" void* realloc (void* p, size_t n)
{
    counted();
    return __libc_realloc (p, n);
}

extern "C" void* memalign (size_t alignment, size_t n)
{
    counted();
    return __libc_memalign (alignment, n);
}

extern "C" int posix_memalign (void** p, size_t alignment, size_t n)
{
    counted();
    *p = __libc_memalign (alignment, n);
    return *p != nullptr ? 0 : 12;
}

extern "C" void* aligned_alloc (size_t alignment, size_t n)
{
    counted();
    return __libc_memalign (alignment, n);
}

namespace
{
constexpr double rate = 48000.0;
constexpr int block = 512;
constexpr double playSeconds = 10.0;
constexpr size_t maxCallbacks = 8192;

double microsSince (std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro> (std::chrono::steady_clock::now() - start).count();
}

/** Hands the device's blocks to the engine and times each call, without allocating. */
struct Timed final : juce::AudioIODeviceCallback
{
    explicit Timed (TrAuditionEngine& e) : engine (e) { micros.resize (maxCallbacks); }

    void audioDeviceIOCallbackWithContext (const float* const* in, int numIn, float* const* out, int numOut, int n,
                                           const juce::AudioIODeviceCallbackContext& context) override
    {
        onAudioThread = true;
        inCallback = true;
        const auto start = std::chrono::steady_clock::now();
        engine.audioDeviceIOCallbackWithContext (in, numIn, out, numOut, n, context);
        const auto took = microsSince (start);
        inCallback = false;
        if (const auto i = count.load(); i < maxCallbacks)
        {
            micros[i] = took * block / std::max (1, n);
            count = i + 1;
        }
    }
    void audioDeviceAboutToStart (juce::AudioIODevice*) override {}
    void audioDeviceStopped() override {}

    TrAuditionEngine& engine;
    std::vector<double> micros;
    std::atomic<size_t> count { 0 };
};

double percentile (std::vector<double> v, double p)
{
    std::sort (v.begin(), v.end());
    return v[std::min (v.size() - 1, static_cast<size_t> (p * static_cast<double> (v.size())))];
}

/** What a plugin's processBlock costs per 512 frames (median), timed outside any callback. */
double pluginMicros (juce::AudioPluginInstance& plugin)
{
    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    std::vector<double> micros;
    for (int i = 0; i < 20000; ++i)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int n = 0; n < block; ++n)
                buffer.setSample (ch, n, 0.1f * std::sin (0.01f * static_cast<float> (n + i)));
        const auto start = std::chrono::steady_clock::now();
        plugin.processBlock (buffer, midi);
        micros.push_back (microsSince (start));
    }
    return percentile (micros, 0.5);
}

/** Plays for 10 s on the JACK server and prints what the callback cost. False on failure. */
bool play (TrSlotManager& slots, int mode, const juce::String& label, double pluginsMicros)
{
    TrAuditionEngine engine (slots);
    if (const auto error = engine.prepare ({}, {}, rate, block); error.isNotEmpty())
    {
        std::cerr << "error: " << error << "\n";
        return false;
    }
    engine.mode = mode;

    juce::AudioDeviceManager devices;
    std::unique_ptr<juce::AudioIODeviceType> jack { juce::AudioIODeviceType::createAudioIODeviceType_JACK() };
    jack->scanForDevices();
    if (jack->getDeviceNames (false).isEmpty())
    {
        std::cerr << "error: no JACK server runs\n";
        return false;
    }
    devices.addAudioDeviceType (std::move (jack));
    if (const auto error = devices.initialise (0, 2, nullptr, true); error.isNotEmpty() || devices.getCurrentAudioDevice() == nullptr)
    {
        std::cerr << "error: could not open JACK: " << error << "\n";
        return false;
    }
    auto* device = devices.getCurrentAudioDevice();
    if (device->getCurrentBufferSizeSamples() != block || device->getCurrentSampleRate() != rate)
    {
        std::cerr << "error: the server runs " << device->getCurrentBufferSizeSamples() << " frames at "
                  << device->getCurrentSampleRate() << " Hz\n";
        return false;
    }

    Timed timed (engine);
    const auto before = audioThreadAllocations.load();
    const auto beforeCallback = callbackAllocations.load();
    devices.addAudioCallback (&timed);
    juce::Thread::sleep (static_cast<int> (playSeconds * 1000));
    devices.removeAudioCallback (&timed);
    devices.closeAudioDevice();

    const auto n = timed.count.load();
    if (n == 0)
    {
        std::cerr << "error: no callback came\n";
        return false;
    }
    std::vector<double> micros (timed.micros.begin(), timed.micros.begin() + static_cast<long> (n));
    const auto median = percentile (micros, 0.5);
    std::cout << label << ": " << n << " callbacks in " << playSeconds << " s\n"
              << "  allocations in the callback: " << callbackAllocations.load() - beforeCallback
              << ", on the audio thread in all: " << audioThreadAllocations.load() - before << "\n"
              << "  callback per 512 frames: median " << median << " us, p99 " << percentile (micros, 0.99)
              << " us, worst " << *std::max_element (micros.begin(), micros.end()) << " us\n"
              << "  of which the plugins' own processing (median, timed alone): " << pluginsMicros << " us\n"
              << "  overhead beyond the plugins: " << median - pluginsMicros << " us (target under 200 us)\n";
    return true;
}
}

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::cerr << "usage: testrig_audition_measure <wire plugin bundle>\n";
        return 1;
    }
    juce::ScopedJuceInitialiser_GUI juce;
    TrSlotManager slots;

    if (! play (slots, TrAuditionEngine::untouched, "empty slots, the untouched signal", 0.0))
        return 1;

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        slots.slot (i).instance = std::make_unique<TrTest::FakePlugin>();
        slots.slot (i).prepare (rate, block);
    }
    const auto doubles = pluginMicros (*slots.slot (0).instance) + pluginMicros (*slots.slot (1).instance);
    if (! play (slots, TrAuditionEngine::difference, "two in-process wires, A minus B", doubles))
        return 1;

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        juce::String error;
        if (! slots.slot (i).loadFromFile (juce::File (argv[1]), error))
        {
            std::cerr << "error: " << error << "\n";
            return 1;
        }
        slots.slot (i).prepare (rate, block);
    }
    const auto wires = pluginMicros (*slots.slot (0).instance) + pluginMicros (*slots.slot (1).instance);
    return play (slots, TrAuditionEngine::difference, "two wire fixture VST3s, A minus B", wires) ? 0 : 1;
}
