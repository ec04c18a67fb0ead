// How long one report card takes to draw: the window's clipboard copy and the card benches draw it
// on the message thread, so the scale-2 card must stay well under a second.
#include "chart/TrChartBuilder.h"
#include "export/TrReportCard.h"
#include "ui/UxFonts.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cmath>

namespace
{
/** A single-tone spectrum like a soft clipper's: odd harmonics over a -150 dB floor, 65536-point FFT. */
TrHarmonicsResult clipperSpectrum (int slot)
{
    TrHarmonicsResult r;
    r.slotIndex = slot;
    r.pluginName = slot == 0 ? "Soft clipper" : "Compressor";
    r.fftSize = 65536;
    r.binHz = r.sampleRate / r.fftSize;
    r.bin = 1365;
    r.noiseFloorDb = -150.0;
    r.spectrumDb.assign (static_cast<size_t> (r.fftSize / 2 + 1), -150.0f);
    juce::Random random (7);
    for (auto& v : r.spectrumDb)
        v += random.nextFloat() * 6.0f;
    r.spectrumDb[static_cast<size_t> (r.bin)] = 0.0f;
    for (int n = 3; n * r.bin < r.fftSize / 2; n += 2)
        r.spectrumDb[static_cast<size_t> (n * r.bin)] = static_cast<float> (-11.0 * n);
    return r;
}

void renderCard (benchmark::State& state)
{
    UxFonts::load();
    TrChart::Model model;
    model.yAxis.min = -160.0;
    model.yAxis.max = 6.0;
    model.yAxis.label = "dB re fundamental";
    double lo = 1e9, hi = -1e9;
    addHarmonicsTrace (model, clipperSpectrum (1), 1, "B", {}, true, lo, hi);
    addHarmonicsTrace (model, clipperSpectrum (0), 0, "A", {}, false, lo, hi);
    model.traces[0].bandPartner = 1;

    const std::vector<ReadoutRow> rows { { 0, {}, { { "THD", "6.73 %" }, { "ALIAS", "-178.0 dB" }, { "TP", "-2.35 dBTP" } } },
                                         { 1, {}, { { "THD", "< 0.001 %" }, { "ALIAS", "-185.9 dB" }, { "TP", "-6.00 dBTP" } } } };
    const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, { TrVerdict::Grade::ok, "Colors the sound", "THD 6.73 %" } },
                                                         { 1, { TrVerdict::Grade::good, "Transparent", "" } } };
    const TrReportCard::Meta meta { "HARMONICS", "Soft clipper  vs  Compressor", "48000 Hz - sine 1000 Hz @ -6 dBFS - N 65536", "2026-12-10" };
    const auto scale = static_cast<float> (state.range (0));

    for (auto _ : state)
        benchmark::DoNotOptimize (TrReportCard::render (model, rows, verdicts, meta, scale));
    state.SetLabel ("scale " + std::to_string (state.range (0)));
}
}

BENCHMARK (renderCard)->Arg (2)->Arg (4)->Unit (benchmark::kMillisecond);

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    UxFonts::release();
    return 0;
}
