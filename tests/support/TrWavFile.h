#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

namespace TrTest
{
/** What a WAV file holds, as the tests check it: its sample format, channels, rate and the
    first channel's samples. */
struct WavFile
{
    bool floats = false; // 32-bit IEEE float samples
    unsigned int channels = 0;
    double rate = 0.0;
    std::vector<float> samples;
};

inline WavFile readWav (const juce::File& file)
{
    WavFile w;
    std::unique_ptr<juce::AudioFormatReader> reader (juce::WavAudioFormat().createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return w;
    w.floats = reader->usesFloatingPointData && reader->bitsPerSample == 32;
    w.channels = reader->numChannels;
    w.rate = reader->sampleRate;
    juce::AudioBuffer<float> buffer (1, static_cast<int> (reader->lengthInSamples));
    reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, false);
    w.samples.assign (buffer.getReadPointer (0), buffer.getReadPointer (0) + buffer.getNumSamples());
    return w;
}

/** Writes a mono WAV of the samples (32-bit float unless bits says otherwise), replacing the file. */
inline void writeWav (const juce::File& file, const std::vector<float>& samples, double rate, int bits = 32)
{
    file.deleteFile();
    juce::AudioBuffer<float> buffer (1, static_cast<int> (samples.size()));
    std::copy (samples.begin(), samples.end(), buffer.getWritePointer (0));
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file), rate, 1,
                                                                           static_cast<unsigned int> (bits), {}, 0));
    writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
}
}
