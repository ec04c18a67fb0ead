#include "TrNullSignal.h"

#include "dsp/TrDecibels.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace TrNullSignal
{
std::vector<float> pinkNoise (int samples, double levelDb)
{
    const auto amplitude = dbToAmplitude (levelDb);
    std::uint64_t state = 1414678855;
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;

    std::vector<float> noise (static_cast<size_t> (std::max (0, samples)));
    for (auto& sample : noise)
    {
        state = state * 25214903917ULL + 11;
        const auto white = static_cast<double> (static_cast<std::uint32_t> (state >> 16)) * std::ldexp (1.0, -32) * 2.0 - 1.0;
        b0 = 0.99765 * b0 + 0.099046 * white;
        b1 = 0.963 * b1 + 0.2965164 * white;
        b2 = 0.57 * b2 + 1.0526913 * white;
        sample = static_cast<float> ((b0 + b1 + b2 + 0.1848 * white) * 0.18 * 2.5 * amplitude);
    }

    return noise;
}

namespace
{
constexpr int minFileRate = 1000, maxFileRate = 768000;
constexpr int maxFileChannels = 256;
constexpr sf_count_t chunkFrames = 8192;

using SoundFile = std::unique_ptr<SNDFILE, int (*) (SNDFILE*)>;

/** Whether the decoder found the file shorter than its header says: it notes that beside the
    header's data size ("data : 192000 (should be 96000)") and reads only what is there. */
bool headerPromisesMore (SNDFILE* sound)
{
    char log[4096] {};
    sf_command (sound, SFC_GET_LOG_INFO, log, sizeof (log));
    for (const auto& line : juce::StringArray::fromLines (log))
        if ((line.startsWith ("data") || line.startsWith ("SSND")) && line.contains ("(should be"))
            return true;

    return false;
}
}

juce::File fileFor (const juce::String& path)
{
    if (path.isEmpty())
        return {};
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (path);
    return file.existsAsFile() ? file : juce::File();
}

bool readFile (const juce::File& file, double sampleRate, double maxSeconds, std::vector<float>& signal,
               juce::String& name, juce::String& error)
{
    name = file.getFileName();
    SF_INFO info {};
    const SoundFile sound (sf_open (file.getFullPathName().toRawUTF8(), SFM_READ, &info), sf_close);

    if (sound == nullptr || info.channels < 1 || info.channels > maxFileChannels)
        error = "could not read " + name;
    else if (info.samplerate < minFileRate || info.samplerate > maxFileRate)
        error = name + " has a sample rate of " + juce::String (info.samplerate) + " Hz - a test signal needs 1000 to 768000 Hz";
    else if (headerPromisesMore (sound.get()))
        error = name + " is truncated: its header promises more audio than the file holds";
    else if (info.frames <= 0)
        error = name + " holds no audio";
    if (error.isNotEmpty())
        return false;

    // Only what is used is read, a chunk at a time: memory stays bounded whatever the header says.
    const auto fileRate = static_cast<double> (info.samplerate);
    const auto wanted = std::min (info.frames, static_cast<sf_count_t> (maxSeconds * fileRate));
    std::vector<float> interleaved (static_cast<size_t> (chunkFrames * info.channels));
    signal.clear();
    signal.reserve (static_cast<size_t> (wanted));
    while (static_cast<sf_count_t> (signal.size()) < wanted)
    {
        const auto asked = std::min (chunkFrames, wanted - static_cast<sf_count_t> (signal.size()));
        const auto got = sf_readf_float (sound.get(), interleaved.data(), asked);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i)
            signal.push_back (interleaved[static_cast<size_t> (i * info.channels)]);
    }

    if (static_cast<sf_count_t> (signal.size()) < wanted)
    {
        error = name + " is truncated: it ends after " + juce::String (signal.size()) + " of its " + juce::String (wanted) + " frames";
        return false;
    }

    if (! std::all_of (signal.begin(), signal.end(), [] (float x) { return std::isfinite (x); }))
    {
        error = "the test signal contains NaN or infinity";
        return false;
    }

    if (std::abs (fileRate - sampleRate) > 1.0)
    {
        const auto ratio = fileRate / sampleRate;
        std::vector<float> resampled (static_cast<size_t> (std::max (1, static_cast<int> (signal.size() / ratio))));
        juce::LagrangeInterpolator interpolator;
        interpolator.process (ratio, signal.data(), resampled.data(), static_cast<int> (resampled.size()),
                              static_cast<int> (signal.size()), 0);
        signal = std::move (resampled);
        name << " (resampled from " << static_cast<int> (fileRate) << " Hz)";
    }

    return true;
}
}
