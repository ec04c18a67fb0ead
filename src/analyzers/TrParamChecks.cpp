#include "TrParamChecks.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace TrParamChecks
{
namespace
{
juce::String got (double value)
{
    return ", got " + TrNumberFormat::plain (value);
}
}

juce::String sampleRate (double hz, const juce::String& name)
{
    if (std::isfinite (hz) && hz >= minSampleRate && hz <= maxSampleRate)
        return {};

    return name + " must be between 8000 and 384000 Hz" + got (hz);
}

juce::String fftSize (int size, const juce::String& name)
{
    if (size >= minFftSize && size <= maxFftSize && juce::isPowerOfTwo (size))
        return {};

    return name + " must be a power of two from 1024 to 1048576" + got (size);
}

juce::String frequency (double hz, double rate, const juce::String& name)
{
    if (std::isfinite (hz) && hz > 0.0 && hz < rate / 2.0)
        return {};

    return name + " must be above 0 Hz and below half the sample rate (" + TrNumberFormat::plain (rate / 2.0) + " Hz)"
         + got (hz);
}

juce::String level (double db, const juce::String& name)
{
    if (std::isfinite (db) && db >= minLevelDb && db <= maxLevelDb)
        return {};

    return name + " must be between -120 and +20 dBFS" + got (db);
}

juce::String points (int count, const juce::String& name)
{
    if (count <= maxPoints)
        return {};

    return name + " must be at most 1000" + got (count);
}

juce::String blockSize (int samples, const juce::String& name)
{
    if (samples >= 1 && samples <= maxBlockSize)
        return {};

    return name + " must be between 1 and 65536 samples" + got (samples);
}

juce::String ccifSampleRate (double hz, const juce::String& name)
{
    if (hz > minCcifSampleRate)
        return {};

    return name + " must be above 40000 Hz for CCIF, whose tones lie at 19 and 20 kHz" + got (hz);
}

juce::String smpteSampleRate (double hz, const juce::String& name)
{
    if (hz > minSmpteSampleRate)
        return {};

    return name + " must be above 14480 Hz for SMPTE, whose 7 kHz tone and its sidebands reach 7240 Hz" + got (hz);
}

juce::String perfSeconds (double seconds, const juce::String& name)
{
    if (std::isfinite (seconds) && seconds > 0.0 && seconds <= maxPerfSeconds)
        return {};

    return name + " must be above 0 and at most 60 seconds" + got (seconds);
}

juce::String liveSeconds (double seconds, const juce::String& name)
{
    if (std::isfinite (seconds) && seconds <= maxLiveSeconds)
        return {};

    return name + " must be at most 600 seconds" + got (seconds);
}

juce::String firstProblem (std::initializer_list<juce::String> checks)
{
    for (const auto& problem : checks)
        if (problem.isNotEmpty())
            return problem;

    return {};
}
}
