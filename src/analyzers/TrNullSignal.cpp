#include "TrNullSignal.h"

#include "dsp/TrDecibels.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>

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

bool readFile (const juce::File& file, double sampleRate, double maxSeconds, std::vector<float>& signal,
               juce::String& name, juce::String& error)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    const std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));

    if (reader == nullptr)
    {
        error = "could not read " + file.getFileName();
        return false;
    }

    const auto fileRate = reader->sampleRate;
    const auto length = static_cast<int> (std::min (static_cast<juce::int64> (maxSeconds * fileRate), reader->lengthInSamples));
    juce::AudioBuffer<float> buffer (1, std::max (0, length));
    reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, false);

    name = file.getFileName();
    signal.assign (buffer.getReadPointer (0), buffer.getReadPointer (0) + buffer.getNumSamples());

    if (fileRate > 0.0 && std::abs (fileRate - sampleRate) > 1.0)
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
