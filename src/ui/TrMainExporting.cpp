#include "TrMainComponent.h"

#include "TrMessage.h"
#include "TrReadoutRows.h"
#include "TrSettingsSummary.h"
#include "export/TrCheckupRows.h"
#include "export/TrDataExport.h"
#include "export/TrDesktopTools.h"
#include "export/TrExportFiles.h"
#include "export/TrExportMenu.h"
#include "export/TrFileWrite.h"
#include "export/TrResidualWav.h"

// The main component's exports: the EXPORT menu, its files and the clipboard image.

void TrMainComponent::showExportMenu()
{
    const auto menu = TrExportMenu::menuFor (view);
    juce::PopupMenu popup;
    popup.setLookAndFeel (&menuLook);
    popup.addSectionHeader (menu.title);
    for (const auto& item : menu.items)
    {
        if (item.separatorAbove)
            popup.addSeparator();
        popup.addItem (item.id, item.text, item.enabled);
    }
    popup.showMenuAsync (juce::PopupMenu::Options().withMousePosition(), [weak = juce::Component::SafePointer<TrMainComponent> (this)] (int id) {
        if (weak != nullptr)
            weak->exportChosen (id);
    });
}

void TrMainComponent::exportChosen (int id)
{
    if (id < TrExportMenu::card1080 || id > TrExportMenu::checkupCard)
        return;
    if (const auto refusal = TrExportMenu::refusalFor (id, view); refusal.isNotEmpty())
    {
        TrMessage::show (this, "Nothing to export", refusal, false);
        return;
    }

    switch (id)
    {
        case TrExportMenu::card1080:    exportCard (2.0f, ".png"); break;
        case TrExportMenu::card4k:      exportCard (4.0f, "_4k.png"); break;
        case TrExportMenu::scoreboard:  exportScoreboard(); break;
        case TrExportMenu::video:       exportVideo(); break;
        case TrExportMenu::csv:         exportData (false); break;
        case TrExportMenu::json:        exportData (true); break;
        case TrExportMenu::residual:    exportDiffWav(); break;
        case TrExportMenu::checkupCard: exportCheckup(); break;
        default: break;
    }
}

juce::String TrMainComponent::exportBaseName() const
{
    return TrExportFiles::baseName (loadedNames(), tabName (view.tab), juce::Time::getCurrentTime());
}

TrReportCard::Meta TrMainComponent::exportMeta() const
{
    juce::StringArray names;
    for (const auto& name : loadedNames())
        if (name.isNotEmpty())
            names.add (name);
    return { tabName (view.tab), names.joinIntoString (TrReportCard::windowVersus), settingsSummary (view),
             juce::Time::getCurrentTime().formatted ("%Y-%m-%d") };
}

void TrMainComponent::revealExport (const juce::File& file)
{
    if (const auto problem = TrDesktopTools::revealInFileBrowser (file); problem.isNotEmpty())
        TrMessage::show (this, "Exported", problem, false);
}

void TrMainComponent::exportFailed (const juce::String& text)
{
    TrMessage::show (this, "Export failed", text, true);
}

void TrMainComponent::exportCard (float scale, const juce::String& ending)
{
    const auto target = TrExportFiles::freshFile (TrExportFiles::folder(), exportBaseName(), ending);
    const auto written = TrReportCard::exportPng (chartView.shownModel(), buildReadoutRows (view), buildVerdictRows (view), exportMeta(), scale, target);
    if (written == juce::File())
        exportFailed (TrFileWrite::couldNotWrite (target));
    else
        revealExport (written);
}

void TrMainComponent::exportScoreboard()
{
    const auto target = TrExportFiles::freshFile (TrExportFiles::folder(), exportBaseName(), "_scoreboard.png");
    const auto rows = TrExportMenu::scoreRows (buildReadoutRows (view), buildVerdictRows (view), loadedNames());
    const auto written = TrReportCard::exportScoreboardPng (rows, exportMeta(), 2.0f, target);
    if (written == juce::File())
        exportFailed (TrFileWrite::couldNotWrite (target));
    else
        revealExport (written);
}

void TrMainComponent::exportData (bool json)
{
    const auto target = TrExportFiles::freshFile (TrExportFiles::folder(), exportBaseName(), json ? ".json" : ".csv");
    const auto& model = chartView.getModel();
    const auto written = json ? TrDataExport::exportJson (model, buildReadoutRows (view), buildVerdictRows (view), tabName (view.tab), settingsSummary (view), target)
                              : TrDataExport::exportCsv (model, target);
    if (written == juce::File())
        exportFailed (TrFileWrite::couldNotWrite (target));
    else
        revealExport (written);
}

void TrMainComponent::exportCheckup()
{
    const auto target = TrExportFiles::freshFile (TrExportFiles::folder(), exportBaseName(), "_checkup.png");
    const auto card = TrReportCard::renderCheckup (checkupRowsFor (view.stores, loadedNames()), exportMeta());
    const auto written = TrReportCard::writePng (card, target);
    if (written == juce::File())
        exportFailed (TrFileWrite::couldNotWrite (target));
    else
        revealExport (written);
}

void TrMainComponent::exportDiffWav()
{
    const auto written = TrResidualWav::exportResidual (view.stores.nulls.front(), TrExportFiles::folder(), exportBaseName());
    if (written.error.isNotEmpty())
        exportFailed (written.error);
    else
        revealExport (written.files.getFirst());
}

void TrMainComponent::exportVideo()
{
    if (engine.isBusy())
    {
        TrMessage::show (this, "MP4 reveal video", "A measurement is running. Export the video once it has finished.", false);
        return;
    }

    const auto target = TrExportFiles::freshFile (TrExportFiles::folder(), exportBaseName(), ".mp4");
    auto outcome = std::make_shared<juce::String>();
    auto job = [this, outcome, target, model = chartView.shownModel(), rows = buildReadoutRows (view), verdicts = buildVerdictRows (view),
                meta = exportMeta(), frames = videoSettings] {
        *outcome = TrVideoExporter::exportReveal (model, rows, verdicts, meta, frames, target, &engine.progress,
                                                  [this] { return engine.threadShouldExit(); });
    };
    const auto done = [weak = juce::Component::SafePointer<TrMainComponent> (this), outcome, target] {
        if (weak == nullptr)
            return;
        weak->stopTimer();
        weak->repaint();
        if (outcome->isEmpty())
            weak->revealExport (target);
        else
            TrMessage::show (weak, "Video export failed", *outcome, true);
    };
    if (engine.start (std::move (job), done))
        startTimer (33);
    repaint();
}

void TrMainComponent::copyReportCard()
{
    const auto card = TrReportCard::render (chartView.shownModel(), buildReadoutRows (view), buildVerdictRows (view), exportMeta(), 2.0f);
    if (const auto problem = TrDesktopTools::copyImageToClipboard (card); problem.isNotEmpty())
    {
        TrMessage::show (this, "Copy failed", problem, true);
        return;
    }
    copiedUntil = juce::Time::getMillisecondCounter() + 1400;
    repaint();
    juce::Timer::callAfterDelay (1500, [weak = juce::Component::SafePointer<TrMainComponent> (this)] {
        if (weak != nullptr)
            weak->repaint();
    });
}

bool TrMainComponent::isCopiedShown() const
{
    return juce::Time::getMillisecondCounter() < copiedUntil;
}
