#include "TrDataExport.h"

#include "TrFileWrite.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace
{
juce::var number (double v)
{
    return std::isfinite (v) ? juce::var (v) : juce::var();
}

juce::String csvNumber (double v)
{
    if (! std::isfinite (v) || std::abs (v) >= 1e20)
    {
        char text[64];
        std::snprintf (text, sizeof (text), "%.6f", v);
        return text;
    }
    // Rounded half away from zero on the magnitude; a negative value keeps its sign even at zero.
    const auto scaled = std::floor (std::abs (v) * 1e6 + 0.5);
    const auto whole = static_cast<long long> (scaled / 1e6);
    const auto fraction = static_cast<long long> (scaled - static_cast<double> (whole) * 1e6);
    return (v < 0.0 ? "-" : "") + juce::String (whole) + "." + juce::String (fraction).paddedLeft ('0', 6);
}

juce::String csvField (const juce::String& text)
{
    if (! text.containsAnyOf ("\",\r\n"))
        return text;
    return "\"" + text.replace ("\"", "\"\"") + "\"";
}
}

juce::String TrDataExport::metricKey (const juce::String& label)
{
    return label.toLowerCase().replaceCharacter (' ', '_').replaceCharacter ('@', '_');
}

juce::String TrDataExport::jsonText (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                                     const std::vector<TrVerdict::SlotVerdict>& verdicts, const juce::String& analyzerName,
                                     const juce::String& settingsSummary)
{
    auto* root = new juce::DynamicObject();
    juce::var document (root);
    root->setProperty ("tool", "TESTRIG");
    root->setProperty ("analyzer", analyzerName);
    root->setProperty ("settings", settingsSummary);
    root->setProperty ("xAxis", model.xAxis.label);
    root->setProperty ("yAxis", model.yAxis.label);

    juce::Array<juce::var> traces;
    for (const auto& t : model.traces)
    {
        auto* trace = new juce::DynamicObject();
        juce::Array<juce::var> xs, ys;
        for (const auto& p : t.points)
        {
            xs.add (number (p.x));
            ys.add (number (p.y));
        }
        trace->setProperty ("label", t.name);
        trace->setProperty ("x", xs);
        trace->setProperty ("y", ys);
        traces.add (juce::var (trace));
    }
    root->setProperty ("traces", traces);

    juce::Array<juce::var> metrics;
    for (const auto& row : rows)
    {
        auto* metric = new juce::DynamicObject();
        metric->setProperty ("slot", row.slot);
        if (row.error.isNotEmpty())
            metric->setProperty ("error", row.error);

        // Two chips may share a label (THD in % and in dB): the second must not replace the first.
        std::map<juce::String, int> seen;
        for (const auto& chip : row.chips)
        {
            if (chip.label.isEmpty())
                continue;
            auto key = metricKey (chip.label);
            if (const auto count = ++seen[key]; count > 1)
                key << "_" << count;
            metric->setProperty (juce::Identifier (key), chip.value);
            const auto flagged = chip.status == static_cast<int> (TrVerdict::Grade::warn) || chip.status == static_cast<int> (TrVerdict::Grade::bad);
            if (flagged || chip.flag.isNotEmpty())
                metric->setProperty (juce::Identifier (key + "_flag"), chip.flag.isNotEmpty() ? chip.flag : juce::String ("problem"));
        }
        metrics.add (juce::var (metric));
    }
    root->setProperty ("metrics", metrics);

    juce::Array<juce::var> judged;
    for (const auto& v : verdicts)
    {
        auto* verdict = new juce::DynamicObject();
        verdict->setProperty ("slot", static_cast<int> (v.slot));
        verdict->setProperty ("grade", TrVerdict::gradeName (v.verdict.grade));
        verdict->setProperty ("text", v.verdict.text);
        if (v.verdict.detail.isNotEmpty())
            verdict->setProperty ("detail", v.verdict.detail);
        judged.add (juce::var (verdict));
    }
    root->setProperty ("verdicts", judged);

    return juce::JSON::toString (document, false, 15);
}

juce::String TrDataExport::csvText (const TrChart::Model& model)
{
    juce::String text ("trace,x,y\r\n");
    for (const auto& t : model.traces)
    {
        const auto name = csvField (t.name.isEmpty() ? juce::String ("trace") : t.name);
        for (const auto& p : t.points)
            text << name << "," << csvNumber (p.x) << "," << csvNumber (p.y) << "\r\n";
    }
    return text;
}

juce::File TrDataExport::exportJson (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                                     const std::vector<TrVerdict::SlotVerdict>& verdicts, const juce::String& analyzerName,
                                     const juce::String& settingsSummary, const juce::File& target)
{
    const auto written = TrFileWrite::replaceWithText (target, jsonText (model, rows, verdicts, analyzerName, settingsSummary));
    return written.wasOk() ? target : juce::File();
}

juce::File TrDataExport::exportCsv (const TrChart::Model& model, const juce::File& target)
{
    return TrFileWrite::replaceWithText (target, csvText (model)).wasOk() ? target : juce::File();
}
