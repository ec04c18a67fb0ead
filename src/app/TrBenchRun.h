#pragma once

#include "TrBenchArgs.h"
#include "TrBenchJson.h"
#include "TrConsole.h"
#include "dsp/TrRender.h"
#include "hosting/TrSlotManager.h"
#include "verdicts/TrVerdict.h"

#include <optional>

/** What every bench mode shares once its options are read. */
namespace TrBenchRun
{
    /** Every bench mode prepares its plugins with this block size. */
    inline constexpr int blockSize = 512;

    /** Prints "error: " + text and gives the failure status 1. */
    int fail (const juce::String& text);

    /** Reads a mode's command line against its syntax. A problem prints "error: " + it, a
        missing plugin path the mode's usage line; either way the mode ends with status 1
        (nothing is returned). */
    std::optional<TrBenchArgs> readArgs (const juce::StringArray& args, const juce::String& flag);

    /** Loads the path (relative to the working folder when not absolute) into the slot,
        prepares it at the rate with the bench block size and applies the assignments given
        with paramOption. On failure prints errorPrefix + the load error (or "error: " + the
        assignment's problem) and returns false. */
    bool load (TrPluginSlot& slot, const juce::String& path, double prepareRate, const juce::StringArray& assignments,
               const juce::String& paramOption = "--param", const juce::String& errorPrefix = "error: ");

    /** "name (format)" of the plugin in a loaded slot, as the reports print it; a layout other
        than stereo follows the format: "name (format, mono)". */
    juce::String pluginLine (const TrPluginSlot& slot);

    /** " (mono)" and the like after a plugin's name, empty for a stereo one. */
    juce::String layoutNote (const TrPluginSlot& slot);

    /** The verdict's headline, followed by " - " and its detail when it has one. */
    juce::String verdictText (const TrVerdict::Verdict& verdict);

    /** The shared tail of the single-plugin modes: load into slot A, prepare, apply the
        "--param" assignments, measure (no progress, no cancel), then print the report, or
        "error: " + the result's error. With --json, figures puts the result into the document. */
    template <typename Params, typename Measure, typename Report, typename Figures>
    int measureAndReport (const TrBenchArgs& options, double prepareRate, const Params& params, Measure&& measure,
                          Report&& report, Figures&& figures)
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);

        if (! load (slot, options.path(), prepareRate, options.all ("--param")))
            return 1;

        const auto result = measure (slot, params, nullptr, TrCancel());
        if (result.error.isNotEmpty())
            return fail (result.error);

        TrConsole::print (report (slot, result));
        if (TrBenchJson::active())
            figures (result);
        return 0;
    }
}
