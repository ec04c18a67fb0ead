#include "TrCardBench.h"

#include "TrBenchArgs.h"
#include "TrBenchRun.h"
#include "TrConsole.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "chart/TrChartBuilder.h"
#include "export/TrReportCard.h"
#include "export/TrVideoExporter.h"
#include "hosting/TrApplyParams.h"
#include "hosting/TrLv2Bundles.h"
#include "results/TrNumberFormat.h"
#include "settings/TrSettings.h"
#include "ui/UxFonts.h"
#include "ui/UxPanelTheme.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::plain;

constexpr double minScale = 0.25, maxScale = 8.0;

TrHarmonicsAnalyzer::Params cardParams (const TrBenchArgs& options)
{
    TrHarmonicsAnalyzer::Params p;
    p.frequencyHz = options.number ("--freq", 1000.0);
    p.levelDb = options.number ("--level", -6.0);
    p.sampleRate = 48000.0;
    p.blockSize = TrBenchRun::blockSize;
    p.fftSize = 65536;
    p.channel = TrChannelMode::left;
    return p;
}

juce::String optionProblem (const TrBenchArgs& options, const TrHarmonicsAnalyzer::Params& p)
{
    const auto scale = options.number ("--scale", 2.0);
    auto problem = TrParamChecks::firstProblem ({ TrParamChecks::frequency (p.frequencyHz, p.sampleRate, "--freq"),
                                                  TrParamChecks::level (p.levelDb, "--level") });
    if (problem.isEmpty() && (scale < minScale || scale > maxScale))
        problem = "--scale must be between " + plain (minScale) + " and " + plain (maxScale) + ", got " + options.text ("--scale");
    return problem;
}

TrChart::Model cardModel (double sampleRate)
{
    TrChart::Model m;
    m.xAxis.max = sampleRate * 0.5;
    m.yAxis.min = -160.0;
    m.yAxis.max = 6.0;
    m.yAxis.label = "dB re fundamental";
    return m;
}

bool isVideo (const juce::String& output)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (output).hasFileExtension ("mp4");
}

/** Renders the card, or its reveal video for an .mp4 output; prints its line or the error. */
bool writeCard (const TrChart::Model& model, const std::vector<ReadoutRow>& rows, const std::vector<TrVerdict::SlotVerdict>& verdicts,
                const TrReportCard::Meta& meta, float scale, const juce::String& output)
{
    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (output);
    if (isVideo (output))
    {
        TrVideoExporter::Settings settings;
        settings.width = static_cast<int> (960.0f * scale);
        settings.height = static_cast<int> (540.0f * scale);
        if (const auto problem = TrVideoExporter::exportReveal (model, rows, verdicts, meta, settings, target, nullptr, {}); problem.isNotEmpty())
        {
            TrBenchRun::fail (problem);
            return false;
        }
        TrConsole::print ("video: " + target.getFullPathName() + "\n");
        return true;
    }

    const auto written = TrReportCard::exportPng (model, rows, verdicts, meta, scale, target);
    if (written == juce::File())
    {
        TrBenchRun::fail ("could not write " + output);
        return false;
    }
    TrConsole::print ("card: " + written.getFullPathName() + "\n");
    return true;
}

bool isPicture (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path).hasFileExtension ("png;mp4");
}

juce::String expandHome (const juce::String& path)
{
    if (path.startsWith ("~"))
        return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName() + path.substring (1);
    return path;
}
}

std::vector<ReadoutChip> harmonicsChips (const TrHarmonicsResult& r)
{
    const auto measured = [] (double db) { return db > TrSentinel::notMeasuredDb && std::isfinite (db); };
    return { { "THD", std::isfinite (r.thdDb) ? TrNumberFormat::percent (r.thdPercent) : juce::String ("n/a") },
             { "ALIAS", measured (r.aliasPeakDb) ? fixed (r.aliasPeakDb, 1) + " dB" : juce::String ("-") },
             { "TP", r.truePeakDb < -500.0 || ! std::isfinite (r.truePeakDb) ? juce::String ("-") : fixed (r.truePeakDb, 2) + " dBTP" },
             { "LAT", juce::String (r.latencySamples) + " smp" },
             { "CPU", TrNumberFormat::whole (r.cpuNsPerSample) + " ns/smp" } };
}

TrReportCard::Meta cardMeta (const TrHarmonicsResult& r, const juce::String& names)
{
    return { "HARMONICS", names,
             juce::String (static_cast<long long> (r.sampleRate)) + " Hz - sine " + plain (r.frequencyHz) + " Hz @ " + plain (r.levelDb)
                 + " dBFS - N " + juce::String (r.fftSize),
             juce::Time::getCurrentTime().formatted ("%Y-%m-%d") };
}

TrChart::Model singleCardModel (const TrHarmonicsResult& r)
{
    auto model = cardModel (r.sampleRate);
    TrChart::Trace trace;
    trace.name = "A  " + r.pluginName;
    trace.colour = UxPanelTheme::Colours::gold;
    trace.thickness = 1.6f;
    trace.fill = true;
    trace.points = logBucketMax (r.spectrumDb, r.binHz, r.sampleRate);
    const auto size = static_cast<int> (r.spectrumDb.size());
    for (int n = 2; n <= 10 && r.bin > 0 && n * r.bin < size; ++n)
    {
        const auto level = static_cast<double> (r.spectrumDb[static_cast<size_t> (n * r.bin)]);
        if (level >= -140.0)
            model.markers.push_back ({ n * r.bin * r.binHz, level, "H" + juce::String (n), UxPanelTheme::Colours::gold, false });
    }
    model.traces.push_back (trace);
    return model;
}

int runCardBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-card");
    if (! options)
        return 1;

    // The plugin comes first; an output named first is taken as meant.
    auto plugin = options->path (0), output = options->path (1);
    if (isPicture (plugin) && ! isPicture (output))
        std::swap (plugin, output);

    const auto params = cardParams (*options);
    if (const auto problem = optionProblem (*options, params); problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    UxFonts::load(); // headless: a report on stderr would be noise to a script
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, plugin, params.sampleRate, {}))
        return 1;

    const auto r = TrHarmonicsAnalyzer::run (slot, params, nullptr, TrCancel());
    if (r.error.isNotEmpty())
        return TrBenchRun::fail (r.error);

    const auto model = singleCardModel (r);
    const std::vector<ReadoutRow> rows { { 0, {}, harmonicsChips (r) } };
    const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, TrVerdict::forHarmonics (r) } };
    const auto scale = static_cast<float> (options->number ("--scale", 2.0));
    return writeCard (model, rows, verdicts, cardMeta (r, r.pluginName), scale, output) ? 0 : 1;
}

int runCardAbBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-card-ab");
    if (! options)
        return 1;

    const auto params = cardParams (*options);
    if (const auto problem = optionProblem (*options, params); problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    const auto view = options->text ("--view").toLowerCase();
    const juce::StringArray views { "", "spectrum", "mirror", "spurs", "spursonly", "spurs-only" };
    if (! views.contains (view))
        return TrBenchRun::fail ("--view must be spectrum, mirror or spurs, got " + options->text ("--view"));

    UxFonts::load(); // headless: a report on stderr would be noise to a script
    TrSettings settings;
    TrSlotManager manager;
    std::array<TrHarmonicsResult, 2> results;

    for (int index = 0; index < 2; ++index)
    {
        const juce::String letter = index == 0 ? "A" : "B";
        auto path = options->text ("--slot" + letter);
        const auto fromSettings = path.isEmpty();
        if (fromSettings)
            path = settings.props->getValue (TrSettings::slotKey (index));
        if (path.isEmpty())
            return TrBenchRun::fail ("slot " + juce::String (index) + " is empty - load a plugin in TESTRIG and quit, or pass --slot" + letter + " <path>");

        auto& slot = manager.slot (index);
        const auto expanded = expandHome (path);
        juce::String error;
        const auto isFile = juce::File::getCurrentWorkingDirectory().getChildFile (expanded).exists();
        if (! isFile && ! TrLv2Bundles::looksLikeIdentifier (expanded))
            error = "Could not resolve plugin: " + path + " (no such file or folder, and not an LV2 plugin URI)";
        else
            slot.loadFromArgument (expanded, error);
        if (! slot.isLoaded())
            return TrBenchRun::fail ("slot " + juce::String (index) + " load failed: " + error);

        if (fromSettings)
        {
            const auto state = settings.getSlotPluginState (index);
            if (! state.isEmpty())
            {
                const juce::ScopedLock hold (slot.lock);
                slot.instance->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
            }
        }

        slot.prepare (params.sampleRate, params.blockSize);
        if (const auto assignments = options->all ("--param" + letter); ! assignments.isEmpty())
        {
            const juce::ScopedLock hold (slot.lock);
            if (const auto problem = applyParams (*slot.instance, assignments, "--param" + letter); problem.isNotEmpty())
                return TrBenchRun::fail (problem);
        }

        auto& r = results[static_cast<size_t> (index)];
        r = TrHarmonicsAnalyzer::run (slot, params, nullptr, TrCancel());
        if (r.error.isNotEmpty())
            return TrBenchRun::fail ("slot " + juce::String (index) + " measurement failed: " + r.error);

        TrConsole::print ("slot " + juce::String (index) + ": " + r.pluginName + "  THD " + fixed (r.thdPercent, 4) + " %  alias "
                          + (r.aliasPeakDb > TrSentinel::notMeasuredDb ? fixed (r.aliasPeakDb, 1) + " dB" : juce::String ("-")) + "\n");
    }

    auto& a = results[0];
    auto& b = results[1];
    if (const auto name = options->text ("--nameA"); name.isNotEmpty())
        a.pluginName = name;
    if (const auto name = options->text ("--nameB"); name.isNotEmpty())
        b.pluginName = name;

    AbHarmView harmView;
    harmView.spursOnly = view.startsWith ("spurs");
    harmView.mirror = view == "mirror";
    harmView.upperSlot = 0;

    auto model = cardModel (a.sampleRate);
    double minDb = 1e9, maxDb = -1e9;
    if (harmView.mirror)
    {
        setMirrorAxis (model);
        addHarmonicsTrace (model, a, 0, "A", harmView, true, minDb, maxDb);
        addHarmonicsTrace (model, b, 1, "B", harmView, false, minDb, maxDb);
    }
    else
    {
        if (harmView.spursOnly)
            model.yAxis.label = "spurs only (dB re fundamental)";
        // The noisier spectrum lies underneath.
        if (b.noiseFloorDb > a.noiseFloorDb)
        {
            addHarmonicsTrace (model, b, 1, "B", harmView, true, minDb, maxDb);
            addHarmonicsTrace (model, a, 0, "A", harmView, false, minDb, maxDb);
        }
        else
        {
            addHarmonicsTrace (model, a, 0, "A", harmView, true, minDb, maxDb);
            addHarmonicsTrace (model, b, 1, "B", harmView, false, minDb, maxDb);
        }
        if (harmView.spursOnly)
            setSpursRange (model, minDb, maxDb);
        else if (model.traces.size() == 2)
            model.traces[0].bandPartner = 1;
    }

    const std::vector<ReadoutRow> rows { { 0, {}, harmonicsChips (a) }, { 1, {}, harmonicsChips (b) } };
    const auto verdictA = TrVerdict::forHarmonics (a);
    const auto verdictB = TrVerdict::forHarmonics (b);
    const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, verdictA }, { 1, verdictB } };
    const auto meta = cardMeta (a, a.pluginName + TrReportCard::versus + b.pluginName);
    const auto scale = static_cast<float> (options->number ("--scale", 2.0));
    const auto output = options->path (0);
    if (! writeCard (model, rows, verdicts, meta, scale, output))
        return 1;
    if (isVideo (output))
        return 0;

    const auto card = juce::File::getCurrentWorkingDirectory().getChildFile (output);
    const auto boardFile = card.getSiblingFile (card.getFileNameWithoutExtension() + "_scoreboard.png");
    const std::vector<TrReportCard::ScoreRow> score {
        { 0, a.pluginName, {}, harmonicsChips (a), verdictA.grade, verdictA.text, verdictA.detail },
        { 1, b.pluginName, {}, harmonicsChips (b), verdictB.grade, verdictB.text, verdictB.detail }
    };
    const auto board = TrReportCard::exportScoreboardPng (score, meta, scale, boardFile);
    if (board == juce::File())
        return TrBenchRun::fail ("could not write " + boardFile.getFullPathName());
    TrConsole::print ("scoreboard: " + board.getFullPathName() + "\n");
    return 0;
}
