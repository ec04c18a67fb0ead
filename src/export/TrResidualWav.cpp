#include "TrResidualWav.h"

#include "TrExportFiles.h"
#include "TrFileWrite.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>

double TrResidualWav::boostDb (double peakDbfs)
{
    return -1.0 - peakDbfs;
}

bool TrResidualWav::wantsBoostedCopy (double peakDbfs)
{
    return peakDbfs > -160.0 && boostDb (peakDbfs) > 0.5;
}

juce::String TrResidualWav::boostedEnding (double boost)
{
    return "_residual_+" + juce::String (std::lround (boost)) + "dB.wav";
}

namespace
{
/** The whole file in memory; the header the writer completes when it closes is read back before
    anything reaches the disk. */
bool wavBytes (juce::MemoryBlock& bytes, const std::vector<float>& samples, double sampleRate, float gain)
{
    if (samples.empty())
        return false;

    std::vector<float> scaled (samples);
    for (auto& s : scaled)
        s *= gain;

    juce::WavAudioFormat wav;
    {
        auto* stream = new juce::MemoryOutputStream (bytes, false);
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream, sampleRate, 1, 32, {}, 0));
        if (writer == nullptr)
        {
            delete stream;
            return false;
        }
        const float* channels[] { scaled.data() };
        if (! writer->writeFromFloatArrays (channels, 1, static_cast<int> (scaled.size())))
            return false;
    }

    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (new juce::MemoryInputStream (bytes, false), true));
    return reader != nullptr && reader->numChannels == 1 && reader->bitsPerSample == 32 && reader->usesFloatingPointData
           && reader->sampleRate == sampleRate && reader->lengthInSamples == static_cast<juce::int64> (scaled.size());
}
}

juce::Result TrResidualWav::write (const juce::File& target, const std::vector<float>& samples, double sampleRate, float gain)
{
    juce::MemoryBlock bytes;
    if (! wavBytes (bytes, samples, sampleRate, gain))
        return juce::Result::fail (TrFileWrite::couldNotWrite (target));
    return TrFileWrite::replace (target, [&bytes] (juce::OutputStream& out) { return out.write (bytes.getData(), bytes.getSize()); });
}

TrResidualWav::Written TrResidualWav::exportResidual (const TrNullResult& result, const juce::File& folder, const juce::String& stem)
{
    Written written;
    const auto raw = TrExportFiles::freshFile (folder, stem, "_residual_raw.wav");
    if (write (raw, result.residual, result.sampleRate, 1.0f).failed())
    {
        written.error = TrFileWrite::couldNotWrite (raw);
        return written;
    }
    written.files.add (raw);

    if (! wantsBoostedCopy (result.diffPeakDbfs))
        return written;

    const auto boost = boostDb (result.diffPeakDbfs);
    const auto boosted = TrExportFiles::freshFile (folder, stem, boostedEnding (boost));
    if (write (boosted, result.residual, result.sampleRate, static_cast<float> (std::pow (10.0, boost / 20.0))).failed())
        written.error = TrFileWrite::couldNotWrite (boosted);
    else
        written.files.add (boosted);
    return written;
}
