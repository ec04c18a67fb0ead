#include "TrExportFiles.h"

juce::File TrExportFiles::folder()
{
    return juce::File::getSpecialLocation (juce::File::userDesktopDirectory).getChildFile ("TESTRIG Exports");
}

juce::String TrExportFiles::safeName (const juce::String& pluginName)
{
    constexpr int maxLength = 40;
    const auto kept = pluginName.replaceCharacter (' ', '-')
                          .retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_")
                          .substring (0, maxLength);
    // A leading "-" would read as an option to any tool the file is handed to.
    const auto trimmed = kept.trimCharactersAtStart ("-_").trimCharactersAtEnd ("-_");
    return trimmed.isEmpty() ? juce::String ("plugin") : trimmed;
}

juce::String TrExportFiles::baseName (const std::array<juce::String, 2>& pluginNames, const juce::String& tabName, juce::Time when)
{
    juce::String names;
    for (const auto& name : pluginNames)
        if (name.isNotEmpty())
            names << (names.isEmpty() ? "" : "_vs_") << safeName (name);
    if (names.isEmpty())
        names = "rigbench";

    const auto tab = tabName.toLowerCase().replaceCharacter (' ', '-').removeCharacters ("/");
    return names + "_" + tab + "_" + when.formatted ("%Y%m%d-%H%M%S");
}

juce::File TrExportFiles::freshFile (const juce::File& folder, const juce::String& stem, const juce::String& ending)
{
    auto file = folder.getChildFile (stem + ending);
    for (int n = 2; file.exists(); ++n)
        file = folder.getChildFile (stem + "_" + juce::String (n) + ending);
    return file;
}
