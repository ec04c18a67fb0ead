#pragma once

#include "TrViewState.h"

/** A rate as the RATE chip shows it: 48 kHz, 44.1 kHz. */
juce::String rateLabel (double sampleRate);

/** 1 kHz, 10 kHz, 2.5 kHz from 1000 Hz up; 500 Hz below. */
juce::String freqLabel (double hz);

/** The rate the active tab's shown results were measured at; the RATE chip's when none is shown. */
double measuredRate (const TrViewState& state);

/** The settings of what the active tab shows, as one line for cards, images and data files. Read
    from the shown results where they recorded it, so the line describes what was measured even
    after the chips moved on; from the chips only when nothing is stored. */
juce::String settingsSummary (const TrViewState& state);
