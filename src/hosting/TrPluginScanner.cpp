#include "TrPluginScanner.h"

#include "TrModuleLock.h"

TrPluginScanner::TrPluginScanner (TrSettings& s, std::map<juce::String, juce::FileSearchPath> paths)
    : juce::Thread ("TESTRIG plugin scan"), settings (s), searchPaths (std::move (paths))
{
    if (const auto xml = juce::parseXML (settings.props->getValue ("scannedPlugins")); xml != nullptr && xml->hasTagName ("KNOWNPLUGINS"))
        list.recreateFromXml (*xml);

    // Without the folder the framework writes no pedal, and a crashing plugin would crash every scan.
    const auto pedal = pedalFile (settings);
    pedal.getParentDirectory().createDirectory();

    // The framework writes the pedal as UTF-16 with a byte-order mark; loading the file as text reads it.
    if (pedal.existsAsFile())
    {
        for (const auto& line : juce::StringArray::fromLines (pedal.loadFileAsString()))
            if (line.trim().isNotEmpty())
                list.addToBlacklist (line.trim());
        pedal.deleteFile();
        persist();
    }
    refreshSnapshot();
}

TrPluginScanner::~TrPluginScanner()
{
    stopThread (10000);
    persist();
}

juce::File TrPluginScanner::pedalFile (const TrSettings& s)
{
    return s.props->getFile().getSiblingFile ("scan-dead-mans-pedal.txt");
}

std::vector<juce::PluginDescription> TrPluginScanner::getSnapshot() const
{
    const juce::ScopedLock hold (snapshotLock);
    return snapshot;
}

juce::StringArray TrPluginScanner::getBlacklist() const
{
    return list.getBlacklistedFiles();
}

void TrPluginScanner::refreshSnapshot()
{
    auto types = list.getTypes();
    std::stable_sort (types.begin(), types.end(), [] (const auto& a, const auto& b) { return a.name.compareIgnoreCase (b.name) < 0; });

    const juce::ScopedLock hold (snapshotLock);
    snapshot.assign (types.begin(), types.end());
}

void TrPluginScanner::persist()
{
    if (const auto xml = list.createXml())
        settings.props->setValue ("scannedPlugins", xml.get());
    settings.props->saveIfNeeded();
}

juce::FileSearchPath TrPluginScanner::foldersFor (juce::AudioPluginFormat& format) const
{
    if (const auto given = searchPaths.find (format.getName()); given != searchPaths.end())
        return given->second;
    return format.getDefaultLocationsToSearch();
}

void TrPluginScanner::run()
{
    // Made on the first scan, not at start: the LV2 format reads every installed bundle's metadata.
    if (formatManager.getNumFormats() == 0)
    {
        formatManager.addFormat (new juce::LV2PluginFormat());
        formatManager.addFormat (new juce::VST3PluginFormat());
    }
    progress = 0.0f;

    const auto formats = formatManager.getNumFormats();
    for (int f = 0; f < formats && ! threadShouldExit(); ++f)
    {
        auto& format = *formatManager.getFormat (f);
        const auto folders = foldersFor (format);
        // JUCE's LV2 format lists every plugin it knows whatever folders it is given.
        if (folders.getNumPaths() == 0)
            continue;

        juce::PluginDirectoryScanner scanner (list, format, folders, true, pedalFile (settings), true);

        for (;;)
        {
            if (threadShouldExit())
                break;

            juce::String name;
            const auto more = [&] {
                const juce::ScopedLock hold (TrModuleLock::lock());
                return scanner.scanNextFile (true, name);
            }();
            progress = (static_cast<float> (f) + scanner.getProgress()) / static_cast<float> (formats);
            if (! more)
                break;

            refreshSnapshot();
            persist();
            if (onProgress)
                onProgress();
        }
    }

    progress = 1.0f;
    refreshSnapshot();
    persist();
    if (onFinished)
        onFinished();
}
