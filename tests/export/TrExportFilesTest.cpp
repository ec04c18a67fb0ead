#include "export/TrExportFiles.h"
#include "export/TrExportMenu.h"
#include "export/TrFileWrite.h"
#include "export/TrResidualWav.h"

#include "TrFileSizeLimit.h"
#include "TrWavFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct Folder
{
    Folder() { folder.createDirectory(); }
    ~Folder() { folder.deleteRecursively(); }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }
    juce::StringArray names() const
    {
        juce::StringArray found;
        for (const auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
            found.add (f.getFileName());
        found.sort (false);
        return found;
    }

    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("testrig-exports", "");
};

const juce::Time noon (2026, 11, 11, 14, 30, 5); // 11 December 2026, 14:30:05 local

/** A residual whose peak is amplitude, with one sample beyond full scale when over is set. */
TrNullResult residualOf (float amplitude, double rate = 44100.0)
{
    TrNullResult r;
    r.sampleRate = rate;
    for (int i = 0; i < 4410; ++i)
        r.residual.push_back (amplitude * static_cast<float> (std::sin (2.0 * juce::MathConstants<double>::pi * 441.0 * i / rate)));
    r.diffPeakDbfs = 20.0 * std::log10 (static_cast<double> (amplitude));
    return r;
}

}

TEST (ExportFiles, BaseNamesCarryThePluginsTheTabAndTheSecond)
{
    const struct
    {
        std::array<juce::String, 2> names;
        const char* tab;
        const char* expected;
    } cases[] {
        { { "", "" }, "CURVE", "rigbench_curve_20261211-143005" },
        { { "Tape Drive 2", "EQ (Mono)" }, "CURVE", "Tape-Drive-2_vs_EQ-Mono_curve_20261211-143005" },
        { { "", "EQ (Mono)" }, "HARMONICS", "EQ-Mono_harmonics_20261211-143005" },
        { { "A", "B" }, "NULL / AB", "A_vs_B_null--ab_20261211-143005" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (TrExportFiles::baseName (c.names, c.tab, noon), c.expected) << c.expected;
}

TEST (ExportFiles, PluginNamesNeverLeadOutOfTheFolderNorReadAsOptions)
{
    const struct
    {
        const char* name;
        const char* expected;
    } cases[] {
        { "../../etc/passwd", "etcpasswd" },
        { "-rf --no-preserve-root", "rf---no-preserve-root" },
        { "__Comp__", "Comp" },
        { "Line\nbreak\ttab\x01", "Linebreaktab" },
        { "A very long plugin name that goes on and on beyond forty", "A-very-long-plugin-name-that-goes-on-and" },
        { "Name with trailing dash at forty -------------", "Name-with-trailing-dash-at-forty" },
        { "Компрессор", "plugin" },
        { "C:\\Plugins\\Comp", "CPluginsComp" },
    };
    for (const auto& c : cases)
    {
        const auto safe = TrExportFiles::safeName (juce::CharPointer_UTF8 (c.name));
        EXPECT_EQ (safe, c.expected) << c.name;
        EXPECT_LE (safe.length(), 40);
    }
}

TEST (ExportFiles, AnExistingFileGetsANumberInsteadOfBeingOverwritten)
{
    Folder out;
    EXPECT_EQ (TrExportFiles::freshFile (out.folder, "card", ".png"), out / "card.png");
    (out / "card.png").replaceWithText ("first");
    EXPECT_EQ (TrExportFiles::freshFile (out.folder, "card", ".png"), out / "card_2.png");
    (out / "card_2.png").replaceWithText ("second");
    EXPECT_EQ (TrExportFiles::freshFile (out.folder, "card", ".png"), out / "card_3.png");
    EXPECT_EQ (TrExportFiles::freshFile (out.folder, "card", "_4k.png"), out / "card_4k.png");
}

TEST (ResidualWav, TheBoostedCopyIsWrittenOnlyForAResidualBetweenMinus160AndMinus1Point5Dbfs)
{
    const struct
    {
        double peak;
        const char* boosted; // empty: no boosted copy
    } cases[] {
        { -0.8, "" },
        { -1.5, "" },
        { -1.6, "_residual_+1dB.wav" },
        { -30.4, "_residual_+29dB.wav" },
        { -3.5, "_residual_+3dB.wav" },    // 2.5 rounds away from zero
        { -159.9, "_residual_+159dB.wav" },
        { -160.0, "" },
        { -200.0, "" },                    // a perfect null, floored at 1e-10
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (TrResidualWav::wantsBoostedCopy (c.peak), juce::String (c.boosted).isNotEmpty()) << c.peak;
        if (TrResidualWav::wantsBoostedCopy (c.peak))
        {
            EXPECT_EQ (TrResidualWav::boostedEnding (TrResidualWav::boostDb (c.peak)), c.boosted) << c.peak;
        }
    }
}

TEST (ResidualWav, RawAndBoostedFilesHoldTheResidualAsMonoFloatsAtItsRate)
{
    Folder out;
    auto r = residualOf (0.03f);
    r.residual[7] = 1.5f; // beyond full scale: stored as it is, not clipped
    const auto written = TrResidualWav::exportResidual (r, out.folder, "x");
    ASSERT_EQ (written.error, "");
    ASSERT_EQ (written.files.size(), 2);
    EXPECT_EQ (out.names(), juce::StringArray ({ "x_residual_+29dB.wav", "x_residual_raw.wav" }));

    const auto gain = std::pow (10.0, TrResidualWav::boostDb (r.diffPeakDbfs) / 20.0);
    for (const auto& [file, g] : { std::pair { written.files[0], 1.0 }, std::pair { written.files[1], gain } })
    {
        const auto wav = TrTest::readWav (file);
        EXPECT_TRUE (wav.floats) << file.getFileName();
        EXPECT_EQ (wav.channels, 1u);
        EXPECT_EQ (wav.rate, 44100.0);
        ASSERT_EQ (wav.samples.size(), r.residual.size());
        for (size_t i = 0; i < r.residual.size(); ++i)
            ASSERT_FLOAT_EQ (wav.samples[i], static_cast<float> (r.residual[i] * static_cast<float> (g))) << file.getFileName() << " sample " << i;
    }
    EXPECT_NEAR (20.0 * std::log10 (static_cast<double> (0.03f) * gain), -1.0, 1e-9) << "the boosted peak lands at -1 dBFS";

    // A second export within the same second keeps the first files.
    const auto again = TrResidualWav::exportResidual (residualOf (0.9f), out.folder, "x");
    ASSERT_EQ (again.error, "");
    ASSERT_EQ (again.files.size(), 1) << "a residual peaking at -0.9 dBFS needs no boost";
    EXPECT_EQ (again.files[0], out / "x_2_residual_raw.wav");
    EXPECT_EQ (TrTest::readWav (out / "x_residual_raw.wav").samples[7], 1.5f);
}

TEST (ResidualWav, AFailedWriteNamesItsFileAndLeavesTheOldFilesAsTheyWere)
{
    Folder out;
    (out / "kept.wav").replaceWithText ("an older export");

    // A disk that fills up: the raw file fails, nothing half-written stays.
    TrResidualWav::Written written;
    ASSERT_TRUE (TrTest::withFileSizeLimit (1000, [&] { written = TrResidualWav::exportResidual (residualOf (0.03f), out.folder, "x"); }));
    EXPECT_EQ (written.error, "Could not write " + (out / "x_residual_raw.wav").getFullPathName());
    EXPECT_EQ (out.names(), juce::StringArray ({ "kept.wav" }));
    EXPECT_EQ ((out / "kept.wav").loadFileAsString(), "an older export");

    // A folder that cannot be made.
    (out / "Exports").replaceWithText ("a file where the folder should be");
    written = TrResidualWav::exportResidual (residualOf (0.03f), out / "Exports", "x");
    EXPECT_EQ (written.error, "Could not write " + (out / "Exports").getChildFile ("x_residual_raw.wav").getFullPathName());

    // No samples: nothing is claimed written.
    EXPECT_TRUE (TrResidualWav::write (out / "empty.wav", {}, 48000.0, 1.0f).failed());
    EXPECT_FALSE ((out / "empty.wav").exists());
}

TEST (ExportMenu, ItemsFollowTheTabAndTheStoredResults)
{
    TrViewState state;
    const auto texts = [] (const TrExportMenu::Menu& m) {
        juce::StringArray t;
        for (const auto& i : m.items)
            t.add (juce::String (i.id) + (i.enabled ? "" : "(off)") + (i.separatorAbove ? "|" : ""));
        return t.joinIntoString (" ");
    };

    state.tab = TrTab::curve;
    auto menu = TrExportMenu::menuFor (state);
    EXPECT_EQ (menu.title, "EXPORT CURVE");
    EXPECT_EQ (texts (menu), "1 2 6 3| 4| 5 8(off)|");

    state.tab = TrTab::nullAb;
    EXPECT_EQ (texts (TrExportMenu::menuFor (state)), "1 2 6 3| 4| 5 7(off)| 8(off)|") << "no null result yet";

    TrNullResult failed;
    failed.error = "aborted";
    failed.residual = { 0.1f };
    state.stores.nulls = { failed };
    EXPECT_EQ (texts (TrExportMenu::menuFor (state)), "1 2 6 3| 4| 5 7(off)| 8(off)|") << "the last run failed";

    state.stores.nulls = { residualOf (0.1f) };
    EXPECT_EQ (texts (TrExportMenu::menuFor (state)), "1 2 6 3| 4| 5 7| 8(off)|");
    EXPECT_EQ (TrExportMenu::refusalFor (TrExportMenu::residual, state), "");

    state.stores.nulls.front().residual.clear(); // what a live frame may leave while the menu is open
    EXPECT_TRUE (TrExportMenu::refusalFor (TrExportMenu::residual, state).contains ("no residual audio"));

    state.stores.harmonics.resize (1);
    state.stores.curves.resize (1);
    EXPECT_TRUE (TrExportMenu::refusalFor (TrExportMenu::checkupCard, state).contains ("CHECKUP"));
    state.stores.checks.resize (1);
    EXPECT_EQ (TrExportMenu::refusalFor (TrExportMenu::checkupCard, state), "");
}

TEST (ExportMenu, ScoreboardRowsTakeTheFirstVerdictOfTheirSlot)
{
    const std::vector<ReadoutRow> rows { { 0, {}, { { "THD", "0.1 %" } } }, { 1, "aborted", {} }, { -1, {}, { { "NULL", "-40 dB" } } } };
    const std::vector<TrVerdict::SlotVerdict> verdicts { { 0, { TrVerdict::Grade::good, "Clean", "0.1 %" } },
                                                         { 0, { TrVerdict::Grade::bad, "Later", "" } },
                                                         { -1, { TrVerdict::Grade::warn, "Close", "-40 dB" } } };
    const auto score = TrExportMenu::scoreRows (rows, verdicts, { "Comp", "EQ" });
    ASSERT_EQ (score.size(), 3u);
    EXPECT_EQ (score[0].name, "Comp");
    EXPECT_EQ (score[0].text, "Clean");
    EXPECT_EQ (score[0].chips.size(), 1u);
    EXPECT_EQ (score[1].name, "EQ");
    EXPECT_EQ (score[1].error, "aborted");
    EXPECT_EQ (score[1].grade, TrVerdict::Grade::none);
    EXPECT_EQ (score[1].text, "");
    EXPECT_EQ (score[2].name, "A - B");
    EXPECT_EQ (score[2].grade, TrVerdict::Grade::warn);
}

TEST (ExportFiles, TheFolderIsOnTheDesktopTheUserDirsFileNames)
{
    const juce::File home (juce::SystemStats::getEnvironmentVariable ("HOME", {}));
    const auto userDirs = home.getChildFile (".config/user-dirs.dirs");
    ASSERT_FALSE (userDirs.exists()) << "the tests run in a home of their own";
    EXPECT_EQ (TrExportFiles::folder(), home.getChildFile ("Desktop/TESTRIG Exports"));

    userDirs.getParentDirectory().createDirectory();
    home.getChildFile ("Schreibtisch").createDirectory(); // a desktop named there counts once it exists
    userDirs.replaceWithText ("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", false, false, "\n");
    EXPECT_EQ (TrExportFiles::folder(), home.getChildFile ("Schreibtisch/TESTRIG Exports"));
    userDirs.deleteFile();
    home.getChildFile ("Schreibtisch").deleteRecursively();
}

TEST (ExportFiles, AFolderWhereTheFileShouldGoIsNeverReplaced)
{
    Folder out;
    const auto target = out / "card.png";
    ASSERT_TRUE (target.createDirectory());
    const auto written = TrFileWrite::replaceWithText (target, "content");
    EXPECT_TRUE (written.failed());
    EXPECT_TRUE (written.getErrorMessage().startsWith ("Could not write " + target.getFullPathName())) << written.getErrorMessage();
    EXPECT_TRUE (target.isDirectory());
}
