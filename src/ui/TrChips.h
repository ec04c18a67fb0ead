#pragma once

#include "TrReadout.h"
#include "TrViewState.h"

/** The setting chips of the bottom bar, as values: the window adds what a click does. */
namespace TrChips
{
/** 0: opens a menu; 1: toggles or cycles; 2: the audition switch. */
enum Kind
{
    menu = 0,
    toggle = 1,
    audition = 2
};

struct Face
{
    juce::String label;
    juce::String value;
    int kind = menu;
};

inline constexpr double sampleRates[] { 44100, 48000, 88200, 96000, 176400, 192000 };
inline constexpr double levels[] { -24, -12, -6, 0 };
inline constexpr double frequencies[] { 100, 500, 1000, 5000, 10000 };
inline constexpr double settleSeconds[] { 0.2, 0.4, 1.0, 2.0 };
inline constexpr double burstLevels[] { -6, 0, 6 };

/** No audition plays. */
inline constexpr int silent = -1;

/** The chips of the state's tab, in order; auditionMode is the audition playing (0 bypass, 1 A,
    2 B, 3 null) or silent. */
std::vector<Face> facesFor (const TrViewState& state, int auditionMode = silent);

/** The explanation of a chip on the state's tab; empty for an unknown label. */
Tooltip tooltipFor (const juce::String& label, const TrViewState& state);
}
