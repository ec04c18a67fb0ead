#include "analyzers/TrNullSignal.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <limits>

namespace
{
/** A file in the temporary folder, removed when the test is over. */
struct TempFile
{
    explicit TempFile (const juce::String& name) : file (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name)) {}
    ~TempFile() { file.deleteFile(); }
    juce::File file;
};

/** A 16-bit mono WAV whose header claims `claimedFrames` while `actualFrames` of a sine follow. */
void writeWav (const juce::File& file, int rate, juce::uint32 claimedFrames, int actualFrames)
{
    juce::MemoryOutputStream out;
    const auto dataBytes = static_cast<juce::uint32> (std::min<juce::uint64> (claimedFrames * 2ull, 0xffffffffull - 36));
    out.write ("RIFF", 4);
    out.writeInt (static_cast<int> (36 + dataBytes));
    out.write ("WAVEfmt ", 8);
    out.writeInt (16);
    out.writeShort (1);
    out.writeShort (1);
    out.writeInt (rate);
    out.writeInt (rate * 2);
    out.writeShort (2);
    out.writeShort (16);
    out.write ("data", 4);
    out.writeInt (static_cast<int> (dataBytes));
    for (int i = 0; i < actualFrames; ++i)
        out.writeShort (static_cast<short> (10000.0 * std::sin (2.0 * M_PI * 440.0 * i / rate)));
    file.replaceWithData (out.getData(), out.getDataSize());
}

/** A file written by the sound-file library in its format: float samples, mono. */
void writeSound (const juce::File& file, int format, int rate, const std::vector<float>& samples)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    auto* sound = sf_open (file.getFullPathName().toRawUTF8(), SFM_WRITE, &info);
    ASSERT_NE (sound, nullptr) << sf_strerror (nullptr);
    sf_writef_float (sound, samples.data(), static_cast<sf_count_t> (samples.size()));
    sf_close (sound);
}

std::vector<float> sine (int samples, int rate)
{
    std::vector<float> s (static_cast<size_t> (samples));
    for (int i = 0; i < samples; ++i)
        s[static_cast<size_t> (i)] = static_cast<float> (0.5 * std::sin (2.0 * M_PI * 440.0 * i / rate));
    return s;
}
}

TEST (NullSignal, HostileFilesAreRefusedWithTheirOwnError)
{
    TempFile empty ("testrig-empty.wav"), lying ("testrig-lying.wav"), truncated ("testrig-truncated.wav"), text ("testrig-text.wav"),
        nan ("testrig-nan.wav"), slow ("testrig-slow.wav");
    writeWav (empty.file, 44100, 0, 0);
    writeWav (lying.file, 48000, 1500000000u, 8);
    writeWav (truncated.file, 48000, 96000, 48000);
    text.file.replaceWithText ("not a sound\n");
    auto withNan = sine (48000, 48000);
    withNan[1000] = std::numeric_limits<float>::quiet_NaN();
    writeSound (nan.file, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, withNan);
    writeWav (slow.file, 500, 1000, 1000);

    const struct
    {
        const juce::File& file;
        juce::String error;
    } cases[] {
        { empty.file, "testrig-empty.wav holds no audio" },
        { lying.file, "testrig-lying.wav is truncated: its header promises more audio than the file holds" },
        { truncated.file, "testrig-truncated.wav is truncated: its header promises more audio than the file holds" },
        { text.file, "could not read testrig-text.wav" },
        { nan.file, "the test signal contains NaN or infinity" },
        { slow.file, "testrig-slow.wav has a sample rate of 500 Hz - a test signal needs 1000 to 768000 Hz" },
    };

    for (const auto& c : cases)
    {
        std::vector<float> signal;
        juce::String name, error;
        EXPECT_FALSE (TrNullSignal::readFile (c.file, 48000.0, 30.0, signal, name, error)) << c.error;
        EXPECT_EQ (error, c.error);
    }
}

TEST (NullSignal, FilesAreReadAsTheyAreAtMostThirtySecondsOfTheFirstChannel)
{
    TempFile flac ("testrig-sine.flac"), wav ("testrig-sine.wav"), other ("testrig-sine-44k.wav");
    const auto tone = sine (48000, 48000);
    writeSound (flac.file, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, tone);
    writeSound (wav.file, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, tone);
    writeSound (other.file, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, sine (44100, 44100));

    for (const auto* file : { &flac.file, &wav.file })
    {
        std::vector<float> signal;
        juce::String name, error;
        ASSERT_TRUE (TrNullSignal::readFile (*file, 48000.0, 30.0, signal, name, error)) << error;
        EXPECT_EQ (name, file->getFileName());
        ASSERT_EQ (signal.size(), tone.size());
        for (size_t i = 0; i < tone.size(); i += 997)
            EXPECT_NEAR (signal[i], tone[i], 1e-6) << *file->getFileName().toRawUTF8() << " at " << i;
    }

    std::vector<float> cut;
    juce::String name, error;
    ASSERT_TRUE (TrNullSignal::readFile (wav.file, 48000.0, 0.5, cut, name, error)) << error;
    EXPECT_EQ (cut.size(), 24000u) << "at most the given seconds";

    std::vector<float> resampled;
    ASSERT_TRUE (TrNullSignal::readFile (other.file, 48000.0, 30.0, resampled, name, error)) << error;
    EXPECT_EQ (name, "testrig-sine-44k.wav (resampled from 44100 Hz)");
    EXPECT_NEAR (static_cast<double> (resampled.size()), 48000.0, 1.0);
}
