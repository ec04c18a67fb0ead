#pragma once

#include "TrConsole.h"
#include "dsp/TrRender.h"
#include "hosting/TrSlotManager.h"
#include "verdicts/TrVerdict.h"

/** What every bench mode shares once its options are read. */
namespace TrBenchRun
{
    /** Every bench mode prepares its plugins with this block size. */
    inline constexpr int blockSize = 512;

    /** Prints "error: " + text and gives the failure status 1. */
    int fail (const juce::String& text);

    /** Loads the path (relative to the working folder when not absolute) into the slot and
        prepares it at the rate with the bench block size. On failure prints errorPrefix + the
        load error and returns false. */
    bool load (TrPluginSlot& slot, const juce::String& path, double prepareRate, const juce::String& errorPrefix = "error: ");

    /** "name (format)" of the plugin in a loaded slot, as the reports print it. */
    juce::String pluginLine (const TrPluginSlot& slot);

    /** The verdict's headline, followed by " - " and its detail when it has one. */
    juce::String verdictText (const TrVerdict::Verdict& verdict);

    /** Prints the mode's usage line when the path is empty; true when it did. */
    bool printUsageIfNoPath (const juce::String& path, const juce::String& usage);

    /** The shared tail of the single-plugin modes: load into slot A, prepare, measure (no
        progress, no cancel), then print the report, or "error: " + the result's error. */
    template <typename Params, typename Measure, typename Report>
    int measureAndReport (const juce::String& path, double prepareRate, const Params& params, Measure&& measure,
                          Report&& report)
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);

        if (! load (slot, path, prepareRate))
            return 1;

        const auto result = measure (slot, params, nullptr, TrCancel());
        if (result.error.isNotEmpty())
            return fail (result.error);

        TrConsole::print (report (slot, result));
        return 0;
    }
}
