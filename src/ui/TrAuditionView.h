#pragma once

#include "TrViewState.h"
#include "engines/TrAuditionEngine.h"

#include <juce_graphics/juce_graphics.h>

#include <optional>

/** Between the window and the audition engine: what a start matches B with, what a key does,
    and what the overlay over the chart says. */
namespace TrAuditionView
{
/** B's match from the first stored null result when it succeeded; unity and no delay otherwise. */
TrAuditionEngine::Match matchFor (const TrViewState& state);

/** The rate the first stored null result was measured at, when it succeeded. */
std::optional<double> nullTestRateFor (const TrViewState& state);

/** The rate to ask the device for: the null test's, else the RATE chip's. */
double wantedRateFor (const TrViewState& state);

/** The audition mode a key chooses (1, 2, N or n, 0), if it chooses one. */
std::optional<int> modeForKey (const juce::KeyPress& key);

/** Space without modifiers: stops playback. */
bool isStopKey (const juce::KeyPress& key);

/** The overlay's text. */
struct Overlay
{
    juce::String title;       // "BYPASS", "A", "B", "NULL"
    juce::Colour colour;
    juce::String keys;        // "1 / 2 / N / 0  -  SPACE STOPS"
    juce::String device;      // the device and its rate, and the null test's when it differs
};

Overlay overlayFor (int mode, const juce::String& deviceType, double deviceRate, std::optional<double> nullTestRate);

/** The meter's fill, 0..1, for a level over a 60 dB range below full scale. */
float meterFill (float levelDb);
}
