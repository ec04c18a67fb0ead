#include "TrChildProcess.h"
#include "TrFileSizeLimit.h"
#include "TrWavFile.h"
#include "TrFixtureSlot.h"
#include "TrScreens.h"
#include "TrWindowHarness.h"
#include "export/TrExportMenu.h"
#include "export/TrResidualWav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

namespace
{
using TrTest::Bench;
using TrTest::pumpMessages;

/** Where the exports must land: the desktop of the test's home, which has no user-dirs file. */
juce::File exportsFolder()
{
    return juce::File (juce::SystemStats::getEnvironmentVariable ("HOME", {})).getChildFile ("Desktop/TESTRIG Exports");
}

juce::Array<juce::File> exported (const juce::String& pattern = "*")
{
    auto files = exportsFolder().findChildFiles (juce::File::findFiles, false, pattern);
    files.sort();
    return files;
}

/** Stand-ins for the desktop's programs, first on PATH: each logs its arguments, one call a line,
    and ends as told. Only these are found while only is set. PATH comes back at the end. */
struct FakeDesktop
{
    explicit FakeDesktop (bool only = false)
    {
        bin.createDirectory();
        setenv ("PATH", (bin.getFullPathName() + (only ? juce::String() : ":" + oldPath)).toRawUTF8(), 1);
    }

    ~FakeDesktop()
    {
        setenv ("PATH", oldPath.toRawUTF8(), 1);
        bin.deleteRecursively();
    }

    void add (const juce::String& name, const juce::String& ending = "exit 0")
    {
        const auto program = bin.getChildFile (name);
        program.replaceWithText ("#!/bin/sh\necho \"$@\" >> \"" + log (name).getFullPathName() + "\"\n" + ending + "\n", false, false, "\n");
        program.setExecutePermission (true);
    }

    juce::StringArray calls (const juce::String& name) const
    {
        juce::StringArray lines;
        lines.addLines (log (name).loadFileAsString().trimEnd());
        lines.removeEmptyStrings();
        return lines;
    }

    juce::File log (const juce::String& name) const { return bin.getChildFile (name + ".log"); }

    const juce::String oldPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    const juce::File bin = juce::File (juce::SystemStats::getEnvironmentVariable ("HOME", {})).getChildFile ("fake-bin");
};

/** Clicks EXPORT and chooses the n-th item that can be chosen, with the keyboard, as a user can. */
bool chooseFromExportMenu (Bench& w, int n)
{
    auto* menu = w.clickForMenu (w.main(), w.main().getLayout().exportButton.getCentre().toFloat());
    if (menu == nullptr)
        return false;
    for (int i = 0; i <= n; ++i)
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    pumpMessages (200);
    return TrTest::openMenu() == nullptr;
}


juce::Rectangle<int> imageSize (const juce::File& png)
{
    return juce::ImageFileFormat::loadFrom (png).getBounds();
}

/** The two plugins measured on NULL / AB after a checkup, so that every export item can be chosen. */
struct Measured : Bench
{
    Measured()
    {
        click (main().getLayout().checkup.getCentre());
        ok = finished();
        click (main().getLayout().chart.getCentre()); // closes the checkup overlay
        select (TrTab::nullAb);
        measure();
        ok = ok && finished() && ! main().view.stores.nulls.empty() && main().view.stores.nulls.front().error.isEmpty();
    }

    bool ok = false;
};
}

TEST (Exports, EveryMenuItemWritesItsFileIntoTheDesktopFolderAndShowsIt)
{
    FakeDesktop desktop;
    desktop.add ("xdg-open");
    Measured w;
    ASSERT_TRUE (w.ok);
    w.main().videoSettings.seconds = 0.1f; // six 1080p frames: the job, not the encoder, is under test here

    const auto menu = TrExportMenu::menuFor (w.main().view);
    int n = 0;
    for (const auto& item : menu.items)
    {
        ASSERT_TRUE (item.enabled) << item.text;
        ASSERT_TRUE (chooseFromExportMenu (w, n++)) << item.text;
        if (item.id == TrExportMenu::video)
        {
            ASSERT_TRUE (w.finished());
        }
        EXPECT_EQ (w.panelTitle(), "") << item.text << ": " << w.panelText();
    }

    const auto base = w.main().exportBaseName().upToLastOccurrenceOf ("_", false, false);
    EXPECT_EQ (base, "TESTRIG-Fixture_vs_TESTRIG-Fixture_null--ab");
    const auto files = exported();
    for (const auto& f : files)
        EXPECT_TRUE (f.getFileName().startsWith (base)) << f.getFileName();

    const auto one = [&] (const juce::String& pattern) {
        const auto found = exported (pattern);
        EXPECT_EQ (found.size(), 1) << pattern;
        return found.isEmpty() ? juce::File() : found.getFirst();
    };
    const auto card = exported ("*-??????.png");
    ASSERT_EQ (card.size(), 1);
    EXPECT_EQ (imageSize (card.getFirst()), juce::Rectangle<int> (0, 0, 1920, 1080));
    EXPECT_EQ (imageSize (one ("*_4k.png")), juce::Rectangle<int> (0, 0, 3840, 2160));
    EXPECT_EQ (imageSize (one ("*_scoreboard.png")), juce::Rectangle<int> (0, 0, 1920, 1080));
    EXPECT_EQ (imageSize (one ("*_checkup.png")), juce::Rectangle<int> (0, 0, 1920, 1080));
    TrTest::keepForReview (juce::ImageFileFormat::loadFrom (card.getFirst()), "exported-null-card");
    TrTest::keepForReview (juce::ImageFileFormat::loadFrom (one ("*_scoreboard.png")), "exported-null-scoreboard");

    const auto json = juce::JSON::parse (one ("*.json").loadFileAsString());
    EXPECT_EQ (json["analyzer"].toString(), "NULL / AB");
    EXPECT_GT (json["traces"].size(), 0);
    juce::StringArray csv;
    csv.addLines (one ("*.csv").loadFileAsString());
    EXPECT_EQ (csv[0], "trace,x,y");
    EXPECT_GT (csv.size(), 100);

    const auto probe = TrTest::runChild (juce::File ("/usr/bin/ffprobe"),
                                         { "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height", "-of", "csv=p=0",
                                           one ("*.mp4").getFullPathName() }, 60.0);
    EXPECT_EQ (probe.output.trim(), "1920,1080");

    // The residual: A - matched B as it was measured, raw and lifted to a -1 dBFS peak.
    const auto& r = w.main().view.stores.nulls.front();
    ASSERT_TRUE (TrResidualWav::wantsBoostedCopy (r.diffPeakDbfs)) << r.diffPeakDbfs;
    const auto raw = TrTest::readWav (one ("*_residual_raw.wav"));
    const auto boosted = TrTest::readWav (one ("*_residual_+*dB.wav"));
    EXPECT_TRUE (one ("*_residual_+*dB.wav").getFileName().endsWith (TrResidualWav::boostedEnding (TrResidualWav::boostDb (r.diffPeakDbfs))));
    const auto gain = static_cast<float> (std::pow (10.0, TrResidualWav::boostDb (r.diffPeakDbfs) / 20.0));
    for (const auto* wav : { &raw, &boosted })
    {
        EXPECT_TRUE (wav->floats);
        EXPECT_EQ (wav->channels, 1u);
        EXPECT_EQ (wav->rate, 48000.0);
        ASSERT_EQ (wav->samples.size(), r.residual.size());
    }
    float peak = 0.0f;
    for (size_t i = 0; i < r.residual.size(); ++i)
    {
        ASSERT_EQ (raw.samples[i], r.residual[i]) << i;
        ASSERT_EQ (boosted.samples[i], r.residual[i] * gain) << i;
        peak = std::max (peak, std::abs (boosted.samples[i]));
    }
    EXPECT_NEAR (20.0 * std::log10 (peak), -1.0, 0.01) << "the boosted difference peaks at -1 dBFS";

    // Every export showed its folder in the file browser, the residual once for its two files.
    const auto calls = desktop.calls ("xdg-open");
    EXPECT_EQ (calls.size(), static_cast<int> (menu.items.size())) << calls.joinIntoString ("\n");
    for (const auto& call : calls)
        EXPECT_EQ (call, exportsFolder().getFullPathName());
    EXPECT_EQ (files.size(), static_cast<int> (menu.items.size()) + 1);
    exportsFolder().deleteRecursively();
}

TEST (Exports, CtrlCPutsTheReportCardOnTheClipboardAsA1920By1080Png)
{
    Bench w;
    w.measure();
    ASSERT_TRUE (w.finished());
    w.main().grabKeyboardFocus();
    ASSERT_TRUE (w.main().keyPressed (juce::KeyPress ('c', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_EQ (w.panelTitle(), "") << w.panelText();
    EXPECT_TRUE (w.main().isCopiedShown());
    TrTest::keepForReview (w.snapshot(), "copied-toast");

    const auto targets = TrTest::runChild (juce::File ("/usr/bin/xclip"), { "-selection", "clipboard", "-t", "TARGETS", "-o" }, 10.0);
    EXPECT_TRUE (juce::StringArray::fromLines (targets.output).contains ("image/png")) << targets.output;
    const auto pasted = juce::File::createTempFile (".png");
    TrTest::runChild (juce::File ("/bin/sh"), { "-c", "/usr/bin/xclip -selection clipboard -t image/png -o > \"$1\"", "sh", pasted.getFullPathName() }, 10.0);
    EXPECT_EQ (imageSize (pasted), juce::Rectangle<int> (0, 0, 1920, 1080));
    pasted.deleteFile();

    pumpMessages (1600);
    EXPECT_FALSE (w.main().isCopiedShown()) << "the toast goes after a moment";
    EXPECT_EQ (exported().size(), 0) << "copying writes no export";
}

TEST (Exports, ACopyThatFailsSaysWhy)
{
    Bench w;
    w.measure();
    ASSERT_TRUE (w.finished());

    {
        FakeDesktop desktop;
        desktop.add ("xclip", "echo \"Error: Can't open display: :99\" >&2\nexit 1");
        w.main().copyReportCard();
        EXPECT_EQ (w.panelTitle(), "Copy failed");
        EXPECT_EQ (w.panelText(), "xclip could not take the clipboard (exit status 1): Error: Can't open display: :99");
        EXPECT_EQ (desktop.calls ("xclip").size(), 1);
        EXPECT_TRUE (desktop.calls ("xclip")[0].startsWith ("-selection clipboard -t image/png -i /")) << desktop.calls ("xclip")[0];
        EXPECT_FALSE (w.main().isCopiedShown());
        w.closePanels();
    }
    {
        FakeDesktop nothing (true);
        w.main().copyReportCard();
        EXPECT_EQ (w.panelTitle(), "Copy failed");
        EXPECT_TRUE (w.panelText().contains ("xclip, which is not installed")) << w.panelText();
        w.closePanels();
    }
}

TEST (Exports, AFailedWriteSaysWhichFileAndLeavesTheOldExportsAsTheyWere)
{
    FakeDesktop desktop;
    desktop.add ("xdg-open");
    Bench w;
    w.measure();
    ASSERT_TRUE (w.finished());

    // The folder's place taken by a file.
    exportsFolder().deleteRecursively();
    exportsFolder().getParentDirectory().createDirectory();
    exportsFolder().replaceWithText ("not a folder");
    w.main().exportChosen (TrExportMenu::csv);
    EXPECT_EQ (w.panelTitle(), "Export failed");
    EXPECT_TRUE (w.panelText().startsWith ("Could not write " + exportsFolder().getFullPathName() + "/")) << w.panelText();
    EXPECT_EQ (exportsFolder().loadFileAsString(), "not a folder");
    w.closePanels();
    exportsFolder().deleteFile();

    // A disk that fills up.
    exportsFolder().createDirectory();
    const auto older = exportsFolder().getChildFile ("older_export.png");
    older.replaceWithText ("an older export");
    ASSERT_TRUE (TrTest::withFileSizeLimit (4096, [&] { w.main().exportChosen (TrExportMenu::card1080); }));
    EXPECT_EQ (w.panelTitle(), "Export failed");
    EXPECT_TRUE (w.panelText().endsWith (".png")) << w.panelText();
    EXPECT_EQ (exported().size(), 1) << "nothing half-written";
    EXPECT_EQ (exportsFolder().findChildFiles (juce::File::findFiles, false, ".*").size(), 0) << "no temporary file";
    EXPECT_EQ (older.loadFileAsString(), "an older export");
    w.closePanels();

    // A folder without write permission (which does not hold back root).
    if (::geteuid() != 0)
    {
        exportsFolder().setReadOnly (true);
        w.main().exportChosen (TrExportMenu::json);
        EXPECT_EQ (w.panelTitle(), "Export failed");
        EXPECT_EQ (exported().size(), 1);
        exportsFolder().setReadOnly (false);
        w.closePanels();
    }
    EXPECT_EQ (desktop.calls ("xdg-open").size(), 0) << "nothing to show";
    exportsFolder().deleteRecursively();
}

TEST (Exports, ChoicesAreCheckedWhenMadeNotOnlyWhenTheMenuOpened)
{
    FakeDesktop desktop;
    desktop.add ("xdg-open");
    Bench w;
    w.select (TrTab::nullAb);
    w.measure();
    ASSERT_TRUE (w.finished());
    ASSERT_FALSE (w.main().view.stores.nulls.empty());

    // A newer null result without a residual arrived while the menu was open.
    w.main().view.stores.nulls.front().residual.clear();
    w.main().exportChosen (TrExportMenu::residual);
    EXPECT_EQ (w.panelTitle(), "Nothing to export");
    EXPECT_EQ (exported().size(), 0);
    w.closePanels();

    w.main().exportChosen (TrExportMenu::checkupCard);
    EXPECT_EQ (w.panelTitle(), "Nothing to export");
    EXPECT_TRUE (w.panelText().contains ("CHECKUP")) << w.panelText();
    w.closePanels();

    // The video while a measurement runs: said, not silently dropped.
    TrTest::setParameters (*w.slot (1).instance, { "Mode=Per call" });
    w.measure();
    ASSERT_TRUE (w.main().engine.isBusy());
    w.main().exportChosen (TrExportMenu::video);
    EXPECT_EQ (w.panelTitle(), "MP4 reveal video");
    w.closePanels();
    w.measure(); // cancels
    ASSERT_TRUE (w.finished());
    EXPECT_EQ (exported().size(), 0);
    EXPECT_EQ (desktop.calls ("xdg-open").size(), 0);
}

TEST (Exports, AVideoCancelledWithMeasureLeavesNoFile)
{
    FakeDesktop desktop;
    desktop.add ("xdg-open");
    Bench w;
    w.measure();
    ASSERT_TRUE (w.finished());

    w.main().exportChosen (TrExportMenu::video);
    pumpMessages (300);
    ASSERT_TRUE (w.main().engine.isBusy()) << "eight seconds of 1080p60 take a while";
    TrTest::keepForReview (w.snapshot(), "video-export-running");
    w.measure(); // CANCEL
    ASSERT_TRUE (w.finished (10000));
    EXPECT_EQ (exportsFolder().findChildFiles (juce::File::findFiles, false, "*").size(), 0) << "no video, no temporary file";
    EXPECT_EQ (w.panelTitle(), "");
    EXPECT_EQ (desktop.calls ("xdg-open").size(), 0);
}
