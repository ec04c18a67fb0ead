#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Sets parameters from "name=value" texts for the headless modes, where value is the
    parameter's normalised position from 0 to 1. Every assignment is checked before any is set:
    the first one without "=", naming no parameter, or with a value that is no number in 0..1 is
    returned as the problem (beginning with the option it came from) and nothing is set.
    Otherwise each is set in order, printing one "set" line, and the plugin settles on 50 blocks
    of silence; the result is empty.

    A name matches a parameter by its index text or its whole name (case ignored); only when
    nothing matches that way does it match the first name that contains it. */
juce::String applyParams (juce::AudioPluginInstance& instance, const juce::StringArray& assignments,
                          const juce::String& option = "--param");
