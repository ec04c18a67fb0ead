#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Sets parameters from "name=value" texts (value normalised, clamped to 0..1) for the headless
    modes, printing one line per assignment, then lets the plugin settle on 50 blocks of silence.

    A name matches a parameter by its index text or its whole name (case ignored); only when
    nothing matches that way does it match the first name that contains it. */
void applyParams (juce::AudioPluginInstance& instance, const juce::StringArray& assignments);
