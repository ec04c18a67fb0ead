#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** The null test's signals. */
namespace TrNullSignal
{
    /** Pink noise of the given length and peak-sine level, identical on every call. */
    std::vector<float> pinkNoise (int samples, double levelDb);

    /** The sound file a test-signal setting names (a path relative to the working folder, or
        absolute), or no file when it names none, a missing one or a folder: pink noise is played
        then, without a message. */
    juce::File fileFor (const juce::String& path);

    /** The first channel of a sound file, at most maxSeconds of it, resampled to the rate when
        the file's own rate differs by more than 1 Hz. On failure returns false with the error;
        name gets the file's name, with " (resampled from <rate> Hz)" when it was resampled. A
        signal read holds at least one sample. */
    bool readFile (const juce::File& file, double sampleRate, double maxSeconds, std::vector<float>& signal,
                   juce::String& name, juce::String& error);
}
