// Writes the 480 frames of a plugin's reveal video as raw 1920 x 1080 BGRA, so that the ffmpeg
// command line can encode exactly what TESTRIG encodes and the two can be timed side by side.
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "app/TrCardBench.h"
#include "export/TrVideoExporter.h"
#include "hosting/TrSlotManager.h"
#include "ui/UxFonts.h"
#include "verdicts/TrVerdict.h"

#include <iostream>

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: testrig_reveal_frames <plugin> <out.raw>\n";
        return 1;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    UxFonts::load();
    auto status = 0;
    {
        TrSlotManager manager;
        auto& slot = manager.slot (0);
        juce::String error;
        if (! slot.loadFromArgument (argv[1], error))
        {
            std::cerr << error << "\n";
            return 1;
        }
        slot.prepare (48000.0, 512);
        const auto r = TrHarmonicsAnalyzer::run (slot, {}, nullptr, {});

        auto model = singleCardModel (r);
        const std::vector<ReadoutRow> rows { { 0, {}, harmonicsChips (r) } };
        const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, TrVerdict::forHarmonics (r) } };
        const auto meta = cardMeta (r, r.pluginName);

        const TrVideoExporter::Settings settings;
        const auto frames = TrVideoExporter::frameCount (settings);
        const auto revealFrames = static_cast<int> (0.6 * frames);
        juce::FileOutputStream out { juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]) };
        out.truncate();
        for (int i = 0; i < frames; ++i)
        {
            model.reveal = TrVideoExporter::revealAt (i, revealFrames);
            const auto image = TrReportCard::render (model, rows, verdicts, meta, static_cast<float> (settings.width) / 960.0f);
            const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
            for (int y = 0; y < settings.height; ++y)
                out.write (pixels.getLinePointer (y), static_cast<size_t> (settings.width) * 4);
        }
        out.flush();
        status = out.getStatus().wasOk() ? 0 : 1;
    }
    UxFonts::release();
    return status;
}
