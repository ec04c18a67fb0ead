#include "TrPluginSlot.h"

#include "TrLv2Bundles.h"

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

    const auto candidates = TrLv2Bundles::isBundle (file) ? TrLv2Bundles::pluginUris (formatManager, file)
                                                          : juce::StringArray { path };
    return loadFirstFound (candidates, file, path, error);
}

bool TrPluginSlot::loadFirstFound (const juce::StringArray& pathsOrIdentifiers, const juce::File& file,
                                   const juce::String& shownPath, juce::String& error)
{
    juce::KnownPluginList list;
    juce::OwnedArray<juce::PluginDescription> found;
    list.scanAndAddDragAndDroppedFiles (formatManager, pathsOrIdentifiers, found);

    if (found.isEmpty())
    {
        error = "No plugin found at " + shownPath;
        return false;
    }

    const auto d = *found.getFirst();
    auto newInstance = createInstance (d, error);
    if (newInstance == nullptr)
        return false;

    return install (std::move (newInstance), d, file == juce::File() ? fileFromIdentifier (d.fileOrIdentifier) : file,
                    error);
}

bool TrPluginSlot::loadFromDescription (const juce::PluginDescription& d, juce::String& error)
{
    auto newInstance = createInstance (d, error);
    if (newInstance == nullptr)
        return false;

    return install (std::move (newInstance), d, fileFromIdentifier (d.fileOrIdentifier), error);
}

std::unique_ptr<juce::AudioPluginInstance> TrPluginSlot::createInstance (const juce::PluginDescription& d,
                                                                         juce::String& error)
{
    juce::String formatError;
    auto created = formatManager.createPluginInstance (d, sampleRate, blockSize, formatError);

    if (created == nullptr)
        error = formatError.isNotEmpty() ? formatError : "Could not create an instance of " + d.name;

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
        configureInstance();

        if (! verifyStereoLayout (*instance, description.name, error))
            releaseInstance();
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

    if (instance != nullptr)
    {
        instance->releaseResources();
        configureInstance();
    }
}

void TrPluginSlot::configureInstance()
{
    instance->setPlayConfigDetails (2, 2, sampleRate, blockSize);
    instance->prepareToPlay (sampleRate, blockSize);
    instance->setNonRealtime (true);
}

void TrPluginSlot::releaseInstance()
{
    if (instance == nullptr)
        return;

    const juce::ScopedLock sl (lock);
    instance->releaseResources();
    instance.reset();
}

void TrPluginSlot::showEditor()
{
    if (instance == nullptr)
        return;

    if (editorWindow != nullptr)
    {
        editorWindow->toFront (true);
        return;
    }

    auto* editor = instance->createEditorIfNeeded();
    if (editor == nullptr)
        return;

    editorWindow = std::make_unique<TrEditorWindow> (description.name, editor);
    editorWindow->onClose = [this]
    {
        editorWindow.reset();
        notify();
    };
    notify();
}

void TrPluginSlot::notify()
{
    if (onChange)
        onChange();
}

bool verifyStereoLayout (juce::AudioPluginInstance& instance, const juce::String& pluginName, juce::String& error)
{
    const auto inputs = instance.getTotalNumInputChannels();
    const auto outputs = instance.getTotalNumOutputChannels();

    if (inputs >= 2 && outputs >= 2)
        return true;

    error = pluginName + " does not support a stereo in/out layout (got " + juce::String (inputs) + " in / "
          + juce::String (outputs) + " out) - measurements would read channels the plugin never writes";
    return false;
}
