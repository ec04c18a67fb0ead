#include "TrPluginSlot.h"

#include "TrMessageThread.h"

#include "TrLv2Bundles.h"
#include "TrLv2Probe.h"
#include "TrModuleLock.h"
#include "app/TrCrashLog.h"

namespace
{
// Identifiers such as LV2 URIs are not files; only a real path becomes the slot's file.
juce::File fileFromIdentifier (const juce::String& fileOrIdentifier)
{
    return juce::File::isAbsolutePath (fileOrIdentifier) ? juce::File (fileOrIdentifier) : juce::File();
}
}

TrPluginSlot::TrPluginSlot (juce::AudioPluginFormatManager& formats, int slotIndex)
    : index (slotIndex), formatManager (formats)
{
}

TrPluginSlot::~TrPluginSlot()
{
    editorWindow.reset();
    releaseInstance();
}

bool TrPluginSlot::loadFromArgument (const juce::String& pathOrIdentifier, juce::String& error)
{
    if (pathOrIdentifier.isEmpty() || juce::File::isAbsolutePath (pathOrIdentifier))
        return loadFromFile (juce::File (pathOrIdentifier), error);

    const auto relative = juce::File::getCurrentWorkingDirectory().getChildFile (pathOrIdentifier);

    if (! relative.exists() && TrLv2Bundles::looksLikeIdentifier (pathOrIdentifier))
        return loadFirstFound ({ pathOrIdentifier }, {}, pathOrIdentifier, error);

    return loadFromFile (relative, error);
}

bool TrPluginSlot::loadFromFile (const juce::File& file, juce::String& error)
{
    const auto path = file.getFullPathName();

    if (path.isEmpty() || ! file.exists())
    {
        error = "File not found: " + path;
        return false;
    }

    // A plain folder would be searched through, and whatever plugin lies inside it loaded.
    if (! TrLv2Bundles::isBundle (file) && ! file.hasFileExtension (".vst3"))
    {
        error = "Not a plugin: " + path + " - give a .vst3 or .lv2 bundle, or an LV2 plugin URI";
        return false;
    }

    if (! TrLv2Bundles::isBundle (file))
        return loadFirstFound ({ path }, file, path, error);

    const auto uri = TrLv2Bundles::choosePlugin (TrLv2Bundles::plugins (formatManager, file), file, error);
    if (uri.isEmpty())
    {
        if (error.isEmpty())
            error = "No plugin found at " + path;
        return false;
    }

    return loadFirstFound ({ uri }, file, path, error);
}

bool TrPluginSlot::loadFirstFound (const juce::StringArray& pathsOrIdentifiers, const juce::File& file,
                                   const juce::String& shownPath, juce::String& error)
{
    // Named from before its code first runs (the scan already instantiates it): a plugin that
    // crashes while loading is the one the crash log names. Afterwards the slot names what it holds.
    TrCrashLog::noteSlot (index, shownPath);
    const auto loaded = scanAndInstall (pathsOrIdentifiers, file, shownPath, error);
    TrCrashLog::noteSlot (index, instance != nullptr ? description.fileOrIdentifier : juce::String());
    return loaded;
}

bool TrPluginSlot::scanAndInstall (const juce::StringArray& pathsOrIdentifiers, const juce::File& file,
                                   const juce::String& shownPath, juce::String& error)
{
    // A scan may be examining a module on its own thread: wait for that file.
    const juce::ScopedLock modules (TrModuleLock::lock());
    const TrModuleLock::PedalEntry whileLoading (loadPedal, pathsOrIdentifiers[0]);
    juce::KnownPluginList list;
    juce::OwnedArray<juce::PluginDescription> found;
    list.scanAndAddDragAndDroppedFiles (formatManager, pathsOrIdentifiers, found);

    if (found.isEmpty())
    {
        error = "No plugin found at " + shownPath;
        return false;
    }

    const auto d = *found.getFirst();
    if (! canBeHosted (d, TrLv2Bundles::isBundle (file) ? file : juce::File(), error))
        return false;

    auto newInstance = createInstance (d, file, error);
    if (newInstance == nullptr)
        return false;

    return install (std::move (newInstance), d, file == juce::File() ? fileFromIdentifier (d.fileOrIdentifier) : file,
                    error);
}

bool TrPluginSlot::loadFromDescription (const juce::PluginDescription& d, juce::String& error)
{
    const juce::ScopedLock modules (TrModuleLock::lock());
    const TrModuleLock::PedalEntry whileLoading (loadPedal, d.fileOrIdentifier);
    TrCrashLog::noteSlot (index, d.fileOrIdentifier);
    auto loaded = canBeHosted (d, {}, error);
    if (loaded)
    {
        auto newInstance = createInstance (d, {}, error);
        loaded = newInstance != nullptr && install (std::move (newInstance), d, fileFromIdentifier (d.fileOrIdentifier), error);
    }

    TrCrashLog::noteSlot (index, instance != nullptr ? description.fileOrIdentifier : juce::String());
    return loaded;
}

bool TrPluginSlot::canBeHosted (const juce::PluginDescription& d, const juce::File& lv2Bundle, juce::String& error)
{
    // Judged before any instance exists: the LV2 host frees the first instance of a plugin
    // unactivated when it prepares it, and some plugins fault then. Like a refused instance, a
    // refused plugin leaves the slot empty. The channel totals include sidechains and extra
    // buses, so only a side without any audio is judged here; a description that gives no counts
    // at all leaves the judgement to the instance.
    const auto unknown = d.numInputChannels == 0 && d.numOutputChannels == 0;
    juce::String refusal;
    if (! unknown && (d.numInputChannels == 0 || d.numOutputChannels == 0))
        refusal = layoutRefusal (d.name, d.numInputChannels, d.numOutputChannels);
    else if (d.pluginFormatName == juce::LV2PluginFormat::getFormatName())
        refusal = TrLv2Probe::whyUnhostable (d.name, d.fileOrIdentifier, lv2Bundle);

    if (refusal.isEmpty())
        return true;

    error = refusal;
    unload();
    notify();
    return false;
}

std::unique_ptr<juce::AudioPluginInstance> TrPluginSlot::createInstance (const juce::PluginDescription& d,
                                                                         const juce::File& file, juce::String& error)
{
    juce::String formatError;
    auto created = formatManager.createPluginInstance (d, sampleRate, blockSize, formatError);

    if (created == nullptr)
        error = formatError.isNotEmpty() ? formatError : "Could not create an instance of " + d.name;

    // The LV2 host says only that the binary could not be opened; the loader knows why.
    if (created == nullptr && d.pluginFormatName == "LV2" && formatError.contains ("could not be opened"))
        error << ": " << TrLv2Bundles::whyNotOpened (d.fileOrIdentifier, TrLv2Bundles::isBundle (file) ? file : juce::File());

    return created;
}

bool TrPluginSlot::install (std::unique_ptr<juce::AudioPluginInstance> newInstance,
                            const juce::PluginDescription& d, const juce::File& file, juce::String& error)
{
    unload();

    description = d;
    pluginFile = file;
    visible = true;

    {
        const juce::ScopedLock sl (lock);
        instance = std::move (newInstance);
        ++generation;

        if (verifyLayout (*instance, description.name, error) && verifyPortsConnect (*instance, description, error))
            preparePlugin (*instance, sampleRate, blockSize);
        else
            instance.reset();
    }

    if (instance == nullptr)
    {
        description = juce::PluginDescription();
        pluginFile = juce::File();
    }

    notify();
    return instance != nullptr;
}

void TrPluginSlot::unload()
{
    editorWindow.reset();
    releaseInstance();

    description = juce::PluginDescription();
    pluginFile = juce::File();
    notify();
}

void TrPluginSlot::prepare (double newSampleRate, int newBlockSize)
{
    // Stored under the lock too: the idle pump reads the block size from its own thread.
    const juce::ScopedLock sl (lock);
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
    ++generation;

    if (instance != nullptr)
    {
        instance->releaseResources();
        preparePlugin (*instance, sampleRate, blockSize);
    }
}

void TrPluginSlot::releaseInstance()
{
    if (instance == nullptr)
        return;

    const juce::ScopedLock modules (TrModuleLock::lock());
    const juce::ScopedLock sl (lock);
    instance->releaseResources();
    instance.reset();
    ++generation;
}

bool TrPluginSlot::showEditor()
{
    if (instance == nullptr)
        return false;

    if (editorWindow != nullptr)
    {
        editorWindow->toFront (true);
        return true;
    }

    auto* editor = instance->createEditorIfNeeded();
    if (editor == nullptr)
        return false;

    editorWindow = std::make_unique<TrEditorWindow> (description.name, editor);
    editorWindow->onClose = [this]
    {
        editorWindow.reset();
        notify();
    };
    notify();
    return true;
}

void TrPluginSlot::notify()
{
    if (onChange)
        onChange();
}

juce::String layoutRefusal (const juce::String& pluginName, int inputs, int outputs)
{
    const auto layout = juce::String (inputs) + " in / " + juce::String (outputs) + " out";

    if (inputs < 1)
        return pluginName + " has no audio input (" + layout + ") - there is nothing to send a test signal into";
    if (outputs < 1)
        return pluginName + " has no audio output (" + layout + ") - there is no sound to measure";
    if (inputs == 1 && outputs > 2)
        return pluginName + " has a " + layout + " layout, which cannot be measured: a mono input is measured into one or two outputs";
    if (outputs == 1 && inputs > 2)
        return pluginName + " has a " + layout + " layout, which cannot be measured: a mono output is measured from one or two inputs";
    return {};
}

bool verifyLayout (juce::AudioPluginInstance& instance, const juce::String& pluginName, juce::String& error)
{
    // The main buses: a sidechain input is no second channel of the signal being measured.
    error = layoutRefusal (pluginName, instance.getMainBusNumInputChannels(), instance.getMainBusNumOutputChannels());
    return error.isEmpty();
}

bool verifyPortsConnect (juce::AudioPluginInstance& instance, const juce::PluginDescription& d, juce::String& error)
{
    if (! isLv2 (instance))
        return true;

    // JUCE's LV2 host maps ports to channels by their designation; two ports designated alike
    // get no channel at all, and the plugin would read through null pointers.
    instance.enableAllBuses();
    const auto inputs = instance.getTotalNumInputChannels();
    const auto outputs = instance.getTotalNumOutputChannels();
    if (inputs >= d.numInputChannels && outputs >= d.numOutputChannels)
        return true;

    error = d.name + " has " + juce::String (d.numInputChannels) + " audio inputs and " + juce::String (d.numOutputChannels)
          + " outputs, of which the LV2 host can connect only " + juce::String (inputs) + " and " + juce::String (outputs)
          + " - the plugin would read unconnected memory";
    return false;
}

juce::String slotLayoutName (const TrPluginSlot& slot)
{
    return slot.instance != nullptr ? layoutName (mainChannelsOf (*slot.instance)) : juce::String();
}

bool isLv2 (const juce::AudioPluginInstance& instance)
{
    return instance.getPluginDescription().pluginFormatName == juce::LV2PluginFormat::getFormatName();
}

void preparePlugin (juce::AudioPluginInstance& instance, double sampleRate, int blockSize)
{
    // The buses as they are, stereo at most: what a plugin cannot change stays as it was.
    instance.setPlayConfigDetails (juce::jlimit (1, 2, instance.getMainBusNumInputChannels()),
                                   juce::jlimit (1, 2, instance.getMainBusNumOutputChannels()), sampleRate, blockSize);

    // The line above switches every bus but the main ones off, and JUCE's LV2 host connects the
    // ports of a switched-off bus to nothing: an LV2 plugin keeps all its buses, fed silence.
    if (isLv2 (instance))
        instance.enableAllBuses();

    instance.prepareToPlay (sampleRate, blockSize);
    instance.setNonRealtime (true);
}

bool reprepareOnMessageThread (juce::AudioPluginInstance& instance, double sampleRate, int blockSize)
{
    return TrMessageThread::call ([&] {
        instance.releaseResources();
        preparePlugin (instance, sampleRate, blockSize);
    });
}

bool resetOnMessageThread (juce::AudioPluginInstance& instance)
{
    return TrMessageThread::call ([&] { instance.reset(); });
}
