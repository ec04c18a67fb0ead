#pragma once

#include "TrEditorWindow.h"
#include "dsp/TrChannelMode.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** One hosted plugin (slot A = index 0, slot B = index 1) with its description, editor window
    and the lock every thread takes before touching the instance.

    A non-null instance is configured with its main channels (mono or stereo each way, or the
    first two of wider buses on both sides) at sampleRate / blockSize, prepared and in
    non-realtime mode. */
class TrPluginSlot final
{
public:
    TrPluginSlot (juce::AudioPluginFormatManager& formatManager, int index);
    ~TrPluginSlot();

    /** Loads the first plugin found in a .vst3 bundle, or the plugin of a .lv2 bundle (the
        stereo one when it holds several); false with error on failure. Anything but a bundle is
        refused, so that a folder is never searched for plugins. */
    bool loadFromFile (const juce::File& file, juce::String& error);

    /** Loads a plugin from a scanned description; false with error on failure. */
    bool loadFromDescription (const juce::PluginDescription& d, juce::String& error);

    /** Loads what a user typed: a bundle path (absolute or relative to the working folder) or
        a plugin identifier such as an LV2 URI. */
    bool loadFromArgument (const juce::String& pathOrIdentifier, juce::String& error);

    void unload();

    /** Re-prepares the instance at a new rate and block size; does not notify. */
    void prepare (double newSampleRate, int newBlockSize);

    /** Opens the plugin's editor in its own window, or brings an open one to front; false when the
        slot is empty or the plugin has no editor. */
    bool showEditor();

    bool isLoaded() const noexcept { return instance != nullptr; }

    std::function<void()> onChange;
    const int index;
    juce::AudioPluginFormatManager& formatManager;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::unique_ptr<TrEditorWindow> editorWindow;
    juce::File pluginFile;
    /** Where a load names its plugin while the plugin's code first runs (empty: nowhere). */
    juce::File loadPedal;
    juce::CriticalSection lock;
    /** Counts the instance's changes (installed, unloaded, prepared again); written and read under
        the lock, so a thread that streams through the slot notices one between two blocks. */
    juce::uint64 generation = 0;
    bool visible = true;
    double sampleRate = 48000.0;
    int blockSize = 512;

private:
    std::unique_ptr<juce::AudioPluginInstance> createInstance (const juce::PluginDescription& d, const juce::File& file,
                                                               juce::String& error);
    bool install (std::unique_ptr<juce::AudioPluginInstance> newInstance,
                  const juce::PluginDescription& d, const juce::File& file, juce::String& error);
    bool loadFirstFound (const juce::StringArray& pathsOrIdentifiers, const juce::File& file,
                         const juce::String& shownPath, juce::String& error);
    bool scanAndInstall (const juce::StringArray& pathsOrIdentifiers, const juce::File& file,
                         const juce::String& shownPath, juce::String& error);
    bool canBeHosted (const juce::PluginDescription& d, const juce::File& lv2Bundle, juce::String& error);
    void releaseInstance();
    void notify();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrPluginSlot)
};

/** Why a plugin with these main channel counts cannot be measured, or empty: it needs audio in
    and out, and a mono side faces one or two channels on the other. */
juce::String layoutRefusal (const juce::String& pluginName, int inputs, int outputs);

/** Checks the instance's main buses by layoutRefusal. */
bool verifyLayout (juce::AudioPluginInstance& instance, const juce::String& pluginName, juce::String& error);

/** Checks that the host can give every audio port the description declares a channel (for LV2;
    other formats always can). Enables all of an LV2 instance's buses. */
bool verifyPortsConnect (juce::AudioPluginInstance& instance, const juce::PluginDescription& d, juce::String& error);

/** The layout a loaded slot is measured with ("stereo", "mono", "mono to stereo", "stereo to
    mono"); empty when the slot is empty. */
juce::String slotLayoutName (const TrPluginSlot& slot);

/** Whether the instance is hosted through JUCE's LV2 format. */
bool isLv2 (const juce::AudioPluginInstance& instance);

/** Gives a released instance the play configuration of a measurement: its main channels (see
    mainChannelsOf) at the rate and block size, prepared, non-realtime; an LV2 plugin keeps every
    bus enabled. */
void preparePlugin (juce::AudioPluginInstance& instance, double sampleRate, int blockSize);

/** Releases and prepares the instance again on the message thread, where VST3 wants its
    processing set up and LV2 re-creates its instance; waits for it. The caller holds the slot's
    lock, which keeps other processing out meanwhile. False when the message thread could not
    serve it (it is waiting for this thread to end). */
bool reprepareOnMessageThread (juce::AudioPluginInstance& instance, double sampleRate, int blockSize);

/** Resets the instance on the message thread (a VST3 reset re-activates the plugin, which the
    format allows only there) and waits for it; false as above. */
bool resetOnMessageThread (juce::AudioPluginInstance& instance);
