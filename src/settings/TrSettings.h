#pragma once

#include <juce_data_structures/juce_data_structures.h>

/** The windowed application's one properties file, ~/.config/TESTRIG/TESTRIG.settings: the
    window's place, the two slots' plugins and their states, the scanner's list, the last browse
    folder and the onboarding flag. Owns the key rules of the slots. */
class TrSettings final
{
public:
    /** Copies a legacy file into place when there is none yet, then opens (and reads) the file. */
    TrSettings();
    ~TrSettings();

    /** The file's options: XML, saved 3 s after a change. */
    static juce::PropertiesFile::Options options();

    /** "slot0.path", "slot1.path". */
    static juce::String slotKey (int index);

    /** "slot0.state", "slot1.state". */
    static juce::String stateKey (int index);

    /** The stored state of a slot's plugin; empty when there is none or its text is not one the
        application could have written. */
    juce::MemoryBlock getSlotPluginState (int index) const;

    /** Stores a slot's plugin state for the next start. */
    void setSlotPluginState (int index, const juce::MemoryBlock& state);

    /** Stores a slot's plugin. A different plugin than before drops the stored state, so that no
        plugin is ever handed another one's state. */
    void setSlotPluginPath (int index, const juce::String& pathOrIdentifier);

    /** Forgets a slot's plugin and its state. */
    void clearSlotPluginPath (int index);

    /** The folder in "browse.lastDir" while it exists, otherwise defaultBrowseDir(). */
    juce::File getLastBrowseDir() const;

    /** Where plugins are: ~/.vst3 when it exists, else /usr/lib/vst3, else /usr/lib/lv2. */
    static juce::File defaultBrowseDir();

    std::unique_ptr<juce::PropertiesFile> props;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrSettings)
};

/** Decodes a block written by MemoryBlock::toBase64Encoding ("<byte count>.<characters>").
    JUCE's own decoder never fails: garbled text decodes to zeros and a negative or huge count
    throws. Here any text the encoder could not have written gives an empty block. */
juce::MemoryBlock decodeStateText (const juce::String& text);
