#pragma once

#include "settings/TrSettings.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <map>

/** Finds the installed plugins on a thread of its own, keeps them in "scannedPlugins" after every
    file, and blacklists a plugin that crashed the process while it was examined (the dead man's
    pedal beside the settings file names it). Readers take a sorted copy, the snapshot.

    It has formats of its own, made on the first scan: a scan re-reads the LV2 world, which must not change under a slot
    that is loading. JUCE's VST3 module list and the pedal file are shared with the slots, so each
    file is examined under TrModuleLock's lock. */
class TrPluginScanner final : public juce::Thread
{
public:
    /** Reads the stored list and any pedal left by a crash. searchPaths replaces a format's default
        folders, by format name ("LV2", "VST3"); a format given no folders is not scanned. The
        thread is not started. */
    explicit TrPluginScanner (TrSettings& settings, std::map<juce::String, juce::FileSearchPath> searchPaths = {});

    /** Asks the scan to stop, waits up to 10 s, and stores the list once more. */
    ~TrPluginScanner() override;

    /** "scan-dead-mans-pedal.txt" beside the settings file. */
    static juce::File pedalFile (const TrSettings& settings);

    /** The known plugins sorted by name, case ignored. */
    std::vector<juce::PluginDescription> getSnapshot() const;

    /** Plugins the scan passes over: those that crashed it, and those the framework refused. */
    juce::StringArray getBlacklist() const;

    /** One scan run over every format's folders; normally on the scanner thread. */
    void run() override;

    std::function<void()> onProgress, onFinished;
    std::atomic<float> progress { 0.0f };

private:
    void refreshSnapshot();
    void persist();
    juce::FileSearchPath foldersFor (juce::AudioPluginFormat& format) const;

    TrSettings& settings;
    const std::map<juce::String, juce::FileSearchPath> searchPaths;
    juce::AudioPluginFormatManager formatManager;
    juce::KnownPluginList list;
    juce::CriticalSection snapshotLock;
    std::vector<juce::PluginDescription> snapshot;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrPluginScanner)
};
