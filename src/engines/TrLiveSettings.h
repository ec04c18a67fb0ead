#pragma once

#include "dsp/TrChannelMode.h"

/** What the live stream plays and analyses, as the window hands it over. */
struct TrLiveSettings
{
    enum class Mode : int
    {
        off = 0,
        harmonics = 1,
        curve = 2,
        dynamics = 3,
        nullTest = 4,
        scope = 5
    };

    Mode mode = Mode::off;
    double frequencyHz = 1000.0;   // the tone of harmonics and scope
    double levelDb = -6.0;         // stimulus peak, dBFS (harmonics, scope, curve)
    double sampleRate = 48000.0;
    double sweepLowDb = -60.0;     // the dynamics level triangle
    double sweepHighDb = 6.0;
    TrChannelMode channel = TrChannelMode::left; // never stereo
    juce::String filePath;         // looped by the live null test; empty: pink noise

    bool operator== (const TrLiveSettings& o) const
    {
        return mode == o.mode && frequencyHz == o.frequencyHz && levelDb == o.levelDb && sampleRate == o.sampleRate
            && sweepLowDb == o.sweepLowDb && sweepHighDb == o.sweepHighDb && channel == o.channel && filePath == o.filePath;
    }
    bool operator!= (const TrLiveSettings& o) const { return ! (*this == o); }
};
