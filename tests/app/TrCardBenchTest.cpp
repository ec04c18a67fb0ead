#include "TrChildProcess.h"
#include "TrFixtureSlot.h"
#include "TrTestPaths.h"
#include "app/TrCardBench.h"
#include "settings/TrSettings.h"

#include <gtest/gtest.h>

namespace
{
struct Folder
{
    Folder() { folder.createDirectory(); }
    ~Folder() { folder.deleteRecursively(); }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }

    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("testrig-cards", "");
};

juce::String path (const juce::File& f)
{
    return f.getFullPathName();
}

juce::Point<int> imageSize (const juce::File& f)
{
    const auto image = juce::ImageFileFormat::loadFrom (f);
    return { image.getWidth(), image.getHeight() };
}

const auto softClip = path (TrTest::fixture ("TestrigSoftClip"));
}

TEST (CardBench, ACardOfOnePluginIsWrittenAtItsScaleWhicheverWayRoundThePathsCome)
{
    Folder out;
    const struct
    {
        juce::StringArray args;
        juce::String file;
        juce::Point<int> size;
    } cases[] {
        { { "--bench-card", softClip, path (out / "card.png") }, "card.png", { 1920, 1080 } },
        { { "--bench-card", path (out / "first.png"), softClip, "--scale", "1" }, "first.png", { 960, 540 } },
        { { "--bench-card", softClip, path (out / "big.png"), "--scale", "4", "--freq", "500", "--level", "-6.5" }, "big.png", { 3840, 2160 } },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 0) << r.output;
        EXPECT_EQ (r.output, "card: " + path (out / c.file) + "\n");
        EXPECT_EQ (imageSize (out / c.file), c.size) << c.file;
    }
}

TEST (CardBench, AnABCardAndItsScoreboardComeFromTheOptions)
{
    Folder out;
    const auto r = TrTest::runTestrig ({ "--bench-card-ab", path (out / "ab.png"), "--slotA", softClip, "--slotB",
                                         path (TrTest::fixture ("TestrigFixture")), "--view", "MIRROR", "--nameA", "Clipper" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    const auto lines = juce::StringArray::fromLines (r.output.trimEnd());
    ASSERT_EQ (lines.size(), 4) << r.output;
    EXPECT_EQ (lines[0], "slot 0: TESTRIG Fixture  THD 6.7323 %  alias -178.0 dB") << "the plugin's own name, before --nameA";
    EXPECT_TRUE (lines[1].startsWith ("slot 1: TESTRIG Fixture  THD 0.0000 %")) << lines[1];
    EXPECT_EQ (lines[2], "card: " + path (out / "ab.png"));
    EXPECT_EQ (lines[3], "scoreboard: " + path (out / "ab_scoreboard.png"));
    EXPECT_EQ (imageSize (out / "ab.png"), juce::Point<int> (1920, 1080));
    EXPECT_EQ (imageSize (out / "ab_scoreboard.png"), juce::Point<int> (1920, 1080));
}

TEST (CardBench, TheABCardTakesPluginsAndStatesFromTheWindowsLastSession)
{
    // Slot A: the plain fixture with a state that makes it a soft clipper; slot B: the fixture as it comes.
    juce::MemoryBlock clipperState;
    {
        TrSlotManager manager;
        ASSERT_EQ (TrTest::loadFixture (manager.slot (0), { "Mode=Soft clip", "Drive=2" }), "");
        manager.slot (0).instance->getStateInformation (clipperState);
    }
    {
        TrSettings settings;
        settings.setSlotPluginPath (0, path (TrTest::fixture ("TestrigFixture")));
        settings.setSlotPluginState (0, clipperState);
        settings.setSlotPluginPath (1, path (TrTest::fixture ("TestrigFixture")));
        settings.props->saveIfNeeded();
    }

    Folder out;
    const auto r = TrTest::runTestrig ({ "--bench-card-ab", path (out / "session.png") });
    EXPECT_EQ (r.exitStatus, 0) << r.output;
    EXPECT_TRUE (r.output.startsWith ("slot 0: TESTRIG Fixture  THD 6.7323 %")) << r.output;
    EXPECT_TRUE (r.output.contains ("slot 1: TESTRIG Fixture  THD 0.0000 %")) << r.output;

    // A path given on the command line takes no stored state.
    const auto plain = TrTest::runTestrig ({ "--bench-card-ab", path (out / "plain.png"), "--slotA", path (TrTest::fixture ("TestrigFixture")) });
    EXPECT_TRUE (plain.output.startsWith ("slot 0: TESTRIG Fixture  THD 0.0000 %")) << plain.output;

    TrSettings().clearSlotPluginPath (0);
    const auto empty = TrTest::runTestrig ({ "--bench-card-ab", path (out / "x.png") });
    EXPECT_EQ (empty.exitStatus, 1);
    EXPECT_EQ (empty.output, "error: slot 0 is empty - load a plugin in TESTRIG and quit, or pass --slotA <path>\n");
    TrSettings().clearSlotPluginPath (1);
}

TEST (CardBench, BadOptionsAndUnwritableFilesAreErrors)
{
    Folder out;
    const auto card = path (out / "c.png");
    const struct
    {
        juce::StringArray args;
        juce::String printed;
    } cases[] {
        { { "--bench-card-ab" }, "usage: TESTRIG --bench-card-ab <out.png|.mp4> [--freq hz] [--level db] [--scale n] [--view spectrum|mirror|spurs] "
                                 "[--slotA path] [--slotB path] [--paramA name=0..1]... [--paramB name=0..1]... [--nameA label] [--nameB label]\n" },
        { { "--bench-card", softClip, card, "--scale", "0" }, "error: --scale must be between 0.25 and 8, got 0\n" },
        { { "--bench-card", softClip, card, "--scale", "-2" }, "error: --scale must be between 0.25 and 8, got -2\n" },
        { { "--bench-card", softClip, card, "--scale", "1000" }, "error: --scale must be between 0.25 and 8, got 1000\n" },
        { { "--bench-card", softClip, card, "--scale", "big" }, "error: --scale must be a number, got big\n" },
        { { "--bench-card-ab", card, "--slotA", softClip, "--slotB", softClip, "--view", "sideways" }, "error: --view must be spectrum, mirror or spurs, got sideways\n" },
        { { "--bench-card-ab", card, "--slotA", "/nowhere/Gone.vst3", "--slotB", softClip },
          "error: slot 0 load failed: Could not resolve plugin: /nowhere/Gone.vst3 (no such file or folder, and not an LV2 plugin URI)\n" },
        { { "--bench-card", softClip, "/proc/testrig/c.png" }, "error: could not write /proc/testrig/c.png\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.printed) << c.args.joinIntoString (" ");
    }
    EXPECT_FALSE ((out / "c.png").exists());
}

TEST (CardBench, AnMp4OutputIsTheRevealVideo)
{
    Folder out;
    const auto r = TrTest::runTestrig ({ "--bench-card", softClip, path (out / "reveal.mp4"), "--scale", "0.3" });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    EXPECT_EQ (r.output, "video: " + path (out / "reveal.mp4") + "\n");
    const auto probe = TrTest::runChild (juce::File ("/usr/bin/ffprobe"),
                                         { "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height,r_frame_rate",
                                           "-of", "csv=p=0", path (out / "reveal.mp4") }, 60.0).output;
    EXPECT_EQ (probe.trim(), "288,162,60/1") << "960 x 0.3 by 540 x 0.3 at 60 frames a second";

    const auto ab = TrTest::runTestrig ({ "--bench-card-ab", path (out / "ab.mp4"), "--slotA", softClip, "--slotB", softClip, "--scale", "0.3" });
    ASSERT_EQ (ab.exitStatus, 0) << ab.output;
    EXPECT_TRUE (ab.output.endsWith ("video: " + path (out / "ab.mp4") + "\n")) << ab.output;
    EXPECT_FALSE ((out / "ab_scoreboard.png").exists()) << "no scoreboard beside a video";
}

TEST (CardBench, ARealThirdPartyPluginGetsItsCard)
{
    Folder out;
    const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--bench-card", "/usr/lib/vst3/ZamCompX2.vst3", path (out / "zam.png") });
    ASSERT_EQ (r.exitStatus, 0) << r.output;
    EXPECT_EQ (imageSize (out / "zam.png"), juce::Point<int> (1920, 1080));
}

TEST (CardBench, HarmonicsChipsSayWhatWasNotMeasured)
{
    TrHarmonicsResult r;
    r.thdDb = -110.0;
    r.thdPercent = 0.0003;
    r.truePeakDb = -3.456;
    r.latencySamples = 64;
    r.cpuNsPerSample = 12.5;
    auto chips = harmonicsChips (r);
    ASSERT_EQ (chips.size(), 5u);
    EXPECT_EQ (chips[0].value, "< 0.001 %");
    EXPECT_EQ (chips[1].value, "-") << "alias not measured";
    EXPECT_EQ (chips[2].value, "-3.46 dBTP");
    EXPECT_EQ (chips[3].value, "64 smp");
    EXPECT_EQ (chips[4].value, "13 ns/smp");

    r.thdDb = std::nan ("");
    r.truePeakDb = TrSentinel::notMeasuredDb;
    chips = harmonicsChips (r);
    EXPECT_EQ (chips[0].value, "n/a");
    EXPECT_EQ (chips[2].value, "-");
}
