#include "TrPluginFiles.h"

bool TrPluginFiles::isBundlePath (const juce::String& path)
{
    const auto trimmed = path.trimCharactersAtEnd ("/");
    return trimmed.endsWithIgnoreCase (".vst3") || trimmed.endsWithIgnoreCase (".lv2");
}

juce::File TrPluginFiles::bundleFor (const juce::File& chosen)
{
    if (isBundlePath (chosen.getFullPathName()))
        return chosen;

    // Native choosers pick files or folders, not both: the binary or manifest inside a bundle
    // is how a bundle gets picked there.
    const auto name = chosen.getFileName();
    if (! name.endsWithIgnoreCase (".so") && name != "manifest.ttl")
        return {};

    for (auto folder = chosen.getParentDirectory(); ! folder.isRoot(); folder = folder.getParentDirectory())
        if (isBundlePath (folder.getFullPathName()))
            return folder;
    return {};
}

juce::String TrPluginFiles::notAPluginText (const juce::File& chosen)
{
    return chosen.getFullPathName() + " is not a plugin. Choose a .vst3 or .lv2 bundle, or the .so or manifest.ttl inside one.";
}
