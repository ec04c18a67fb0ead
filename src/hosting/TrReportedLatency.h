#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The latency the plugin reports right now. JUCE's VST3 host learns of a change only through a
    message, which a headless run (busy on the message thread) never delivers; so a VST3 plugin
    is asked directly, and other formats through the host, which updates them as they process. */
int reportedLatency (juce::AudioPluginInstance& plugin);

/** The latency reported after a reset, before the plugin has heard any audio. An LV2 plugin
    writes its latency port only while it runs, so it first processes one block of silence. */
int latencyBeforeAudio (juce::AudioPluginInstance& plugin, int blockSize);
