#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** One labelled value of the read-out strip, the report card, the scoreboard and the data export. */
struct ReadoutChip
{
    /** Upper-case name ("LAT", "WORST THD+N"); may be empty; also the key of its tooltip. */
    juce::String label;
    juce::String value;
    /** A TrVerdict::Grade value: none for plain values, warn or bad for flagged ones. */
    int status = 0;
    /** A short word explaining the status ("mismatch"); may be set with status none as information. */
    juce::String flag;
};

/** The values of one measured plugin, or of the A/B comparison (slot -1). */
struct ReadoutRow
{
    int slot = 0;
    /** The result's error; a row with an error has no chips. */
    juce::String error;
    std::vector<ReadoutChip> chips;
};

/** The title and body of a hover explanation; both empty when there is none. */
struct Tooltip
{
    juce::String title;
    juce::String body;
};
