#include "TrBenchRun.h"

#include "TrBenchJson.h"
#include "TrConsole.h"
#include "hosting/TrApplyParams.h"

namespace TrBenchRun
{
int fail (const juce::String& text)
{
    TrConsole::print ("error: " + text + "\n");
    TrBenchJson::fail (text);
    return 1;
}

std::optional<TrBenchArgs> readArgs (const juce::StringArray& args, const juce::String& flag)
{
    const auto& syntax = TrModeSyntaxes::of (flag);
    if (syntax.switches.contains ("--json") && args.contains ("--json"))
        TrBenchJson::begin (flag);

    TrBenchArgs options (args, syntax);
    if (options.problem().isNotEmpty())
    {
        fail (options.problem());
        return std::nullopt;
    }

    for (int i = 0; i < syntax.paths; ++i)
    {
        if (options.path (i).isEmpty())
        {
            TrConsole::print (syntax.usage + "\n");
            TrBenchJson::fail (syntax.usage);
            return std::nullopt;
        }
    }

    return options;
}

bool load (TrPluginSlot& slot, const juce::String& path, double prepareRate, const juce::StringArray& assignments,
           const juce::String& paramOption, const juce::String& errorPrefix)
{
    // "error A: " names slot A of two; the document keeps the plugins apart by their keys.
    const auto which = errorPrefix.fromFirstOccurrenceOf ("error", false, false).upToFirstOccurrenceOf (":", false, false).trim();
    juce::String error;
    if (! slot.loadFromArgument (path, error))
    {
        TrConsole::print (errorPrefix + error + "\n");
        TrBenchJson::fail (which.isEmpty() ? error : "slot " + which + ": " + error);
        return false;
    }

    TrBenchJson::set (which.isEmpty() ? "plugin" : "plugin_" + which.toLowerCase(), TrBenchJson::plugin (slot));

    slot.prepare (prepareRate, blockSize);
    if (assignments.isEmpty())
        return true;

    const juce::ScopedLock sl (slot.lock);
    const auto problem = applyParams (*slot.instance, assignments, paramOption);
    if (problem.isEmpty())
        return true;

    fail (problem);
    return false;
}

juce::String pluginLine (const TrPluginSlot& slot)
{
    const auto layout = slotLayoutName (slot);
    return slot.description.name + " (" + slot.description.pluginFormatName + (layout == "stereo" ? "" : ", " + layout) + ")";
}

juce::String layoutNote (const TrPluginSlot& slot)
{
    const auto layout = slotLayoutName (slot);
    return layout == "stereo" ? juce::String() : " (" + layout + ")";
}

juce::String verdictText (const TrVerdict::Verdict& verdict)
{
    return verdict.text + (verdict.detail.isNotEmpty() ? " - " + verdict.detail : juce::String());
}
}
