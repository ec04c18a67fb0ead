#include "TrSettings.h"

namespace
{
// The encoder's own 6-bit alphabet, in its order.
constexpr const char* stateAlphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";

// Where older versions kept the file: "TestRig/TestRig.settings" two folders above ours.
void copyLegacyFile (const juce::File& file)
{
    if (file.existsAsFile())
        return;

    const auto legacy = file.getParentDirectory().getParentDirectory().getChildFile ("TestRig").getChildFile ("TestRig.settings");
    if (legacy.existsAsFile() && file.getParentDirectory().createDirectory())
        legacy.copyFileTo (file);
}
}

TrSettings::TrSettings()
{
    const auto opts = options();
    copyLegacyFile (opts.getDefaultFile());
    props = std::make_unique<juce::PropertiesFile> (opts);
}

TrSettings::~TrSettings()
{
    props->saveIfNeeded();
}

juce::PropertiesFile::Options TrSettings::options()
{
    juce::PropertiesFile::Options o;
    o.applicationName = "TESTRIG";
    o.filenameSuffix = ".settings";
    o.folderName = ".config/TESTRIG";
    o.osxLibrarySubFolder = "Application Support";
    o.commonToAllUsers = false;
    o.ignoreCaseOfKeyNames = false;
    o.doNotSave = false;
    o.millisecondsBeforeSaving = 3000;
    o.storageFormat = juce::PropertiesFile::storeAsXML;
    return o;
}

juce::String TrSettings::slotKey (int index)
{
    return "slot" + juce::String (index) + ".path";
}

juce::String TrSettings::stateKey (int index)
{
    return "slot" + juce::String (index) + ".state";
}

juce::MemoryBlock TrSettings::getSlotPluginState (int index) const
{
    return decodeStateText (props->getValue (stateKey (index)));
}

void TrSettings::setSlotPluginState (int index, const juce::MemoryBlock& state)
{
    props->setValue (stateKey (index), state.toBase64Encoding());
}

void TrSettings::setSlotPluginPath (int index, const juce::String& pathOrIdentifier)
{
    if (props->getValue (slotKey (index)) != pathOrIdentifier)
        props->removeValue (stateKey (index));

    props->setValue (slotKey (index), pathOrIdentifier);
    props->saveIfNeeded();
}

void TrSettings::clearSlotPluginPath (int index)
{
    props->removeValue (slotKey (index));
    props->removeValue (stateKey (index));
    props->saveIfNeeded();
}

juce::File TrSettings::getLastBrowseDir() const
{
    const auto text = props->getValue ("browse.lastDir");
    if (text.isNotEmpty() && juce::File::isAbsolutePath (text) && juce::File (text).isDirectory())
        return juce::File (text);

    return defaultBrowseDir();
}

juce::File TrSettings::defaultBrowseDir()
{
    const auto own = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".vst3");
    if (own.isDirectory())
        return own;
    if (juce::File ("/usr/lib/vst3").isDirectory())
        return juce::File ("/usr/lib/vst3");
    return juce::File ("/usr/lib/lv2");
}

juce::MemoryBlock decodeStateText (const juce::String& text)
{
    const auto dot = text.indexOfChar ('.');
    const auto count = text.substring (0, dot);
    const auto characters = text.substring (dot + 1);
    if (dot < 1 || count.length() > 12 || ! count.containsOnly ("0123456789") || ! characters.containsOnly (stateAlphabet))
        return {};

    // The encoder writes exactly ceil (8 n / 6) characters for n bytes.
    const auto bytes = count.getLargeIntValue();
    if ((bytes * 8 + 5) / 6 != characters.length())
        return {};

    juce::MemoryBlock block;
    if (! block.fromBase64Encoding (text) || static_cast<juce::int64> (block.getSize()) != bytes)
        return {};
    return block;
}
