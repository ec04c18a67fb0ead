#pragma once

#include "chart/TrChart.h"
#include "ui/TrReadout.h"
#include "verdicts/TrVerdict.h"

/** The numbers behind a chart, its read-outs and its verdicts, as JSON or CSV text files. */
namespace TrDataExport
{
/** The JSON document: tool, analyzer, settings, axes, traces, metrics, verdicts. Numbers that are
    not finite are written as null; a chip label seen again gets "_2", "_3" after its key. */
juce::String jsonText (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                       const std::vector<TrVerdict::SlotVerdict>& verdicts, const juce::String& analyzerName,
                       const juce::String& settingsSummary);

/** "trace,x,y" and one line per point, numbers with 6 decimals, "\r\n" line ends; names with a
    quote, comma or line break are quoted. */
juce::String csvText (const TrChart::Model& model);

/** The metrics key of a chip label: lower case, each space and "@" turned into "_". */
juce::String metricKey (const juce::String& label);

/** Writes the document; returns the target, or an empty file when it could not be written. */
juce::File exportJson (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                       const std::vector<TrVerdict::SlotVerdict>& verdicts, const juce::String& analyzerName,
                       const juce::String& settingsSummary, const juce::File& target);

juce::File exportCsv (const TrChart::Model& model, const juce::File& target);
}
