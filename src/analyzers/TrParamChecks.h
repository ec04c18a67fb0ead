#pragma once

#include <juce_core/juce_core.h>

/** The ranges a measurement can work with. Each check returns an empty text when the value is
    usable, otherwise a sentence that names the value (an option such as "--sr" on the command
    line, a plain name elsewhere) and its allowed range. */
namespace TrParamChecks
{
    inline constexpr double minSampleRate = 8000.0;
    inline constexpr double maxSampleRate = 384000.0;
    inline constexpr int minFftSize = 1024;
    inline constexpr int maxFftSize = 1048576;
    inline constexpr double minLevelDb = -120.0;
    inline constexpr double maxLevelDb = 20.0;
    inline constexpr int maxPoints = 1000;
    inline constexpr int maxBlockSize = 65536;
    inline constexpr double minCcifSampleRate = 40000.0;
    inline constexpr double minSmpteSampleRate = 2.0 * (7000.0 + 4.0 * 60.0); // the 7 kHz tone's fourth upper sideband
    inline constexpr double minPerfSeconds = 0.25; // shorter runs are lengthened to this
    inline constexpr double maxPerfSeconds = 60.0;
    inline constexpr double minLiveSeconds = 1.0; // shorter live runs are lengthened to this
    inline constexpr double maxLiveSeconds = 600.0;

    juce::String sampleRate (double hz, const juce::String& name);
    juce::String fftSize (int size, const juce::String& name);
    juce::String frequency (double hz, double sampleRate, const juce::String& name);
    juce::String level (double db, const juce::String& name);
    juce::String points (int count, const juce::String& name);
    juce::String blockSize (int samples, const juce::String& name);
    juce::String ccifSampleRate (double hz, const juce::String& name);

    /** A rate SMPTE can be measured at: its 7 kHz tone and four upper sidebands below Nyquist. */
    juce::String smpteSampleRate (double hz, const juce::String& name);
    juce::String perfSeconds (double seconds, const juce::String& name);
    /** Any run time up to ten minutes; shorter than a second reads as one. */
    juce::String liveSeconds (double seconds, const juce::String& name);

    /** The first failure of several checks, or empty. */
    juce::String firstProblem (std::initializer_list<juce::String> checks);
}
