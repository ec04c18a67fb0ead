#include "TrScreens.h"
#include "TrWindowHarness.h"

#include <gtest/gtest.h>

#include <csignal>

// LISTEN in the window, on the JACK server the test scripts run beside these tests.

namespace
{
using TrTest::pumpMessages;
using TrTest::pumpUntil;
using TrTest::Window;

/** Wires in both slots, on the NULL / AB tab. */
struct NullBench : Window
{
    NullBench() : Window (fresh, TrTest::welcomed)
    {
        for (int i = 0; i < 2; ++i)
            card (i).filesDropped ({ TrTest::fixture ("TestrigFixture").getFullPathName() }, 5, 5);
        pumpMessages (100);
        click (main().getLayout().railEntry (static_cast<int> (TrTab::nullAb)).getCentre());
    }

    juce::String listen()
    {
        for (const auto& c : main().currentChips())
            if (c.label == "LISTEN")
                return c.value;
        return "no LISTEN chip";
    }

    void clickListen() { click (chip (3)); }

    bool key (juce::KeyPress k) { return main().keyPressed (k); }
};

/** Points JUCE's JACK client at a server name for the test's duration. */
struct JackServerName
{
    explicit JackServerName (const char* name)
    {
        if (const auto* was = std::getenv ("JACK_DEFAULT_SERVER"))
            previous = was;
        setenv ("JACK_DEFAULT_SERVER", name, 1);
    }
    ~JackServerName()
    {
        if (previous.has_value())
            setenv ("JACK_DEFAULT_SERVER", previous->c_str(), 1);
        else
            unsetenv ("JACK_DEFAULT_SERVER");
    }
    std::optional<std::string> previous;
};
}

TEST (AuditionWindow, ListenPlaysTheMeasuredComparisonAndTheKeysSwitchIt)
{
    NullBench w;
    w.main().grabKeyboardFocus(); // no window manager hands out focus under Xvfb
    EXPECT_FALSE (w.key (juce::KeyPress (' '))) << "Space never starts playback";
    EXPECT_FALSE (w.main().audition.isPlaying());

    w.click (w.main().getLayout().measure.getCentre());
    ASSERT_TRUE (pumpUntil (60000, [&] { return ! w.main().engine.isBusy(); }));
    pumpMessages (100);
    ASSERT_EQ (w.main().view.stores.nulls.size(), 1u);
    EXPECT_FALSE (w.main().view.stores.nullsLive);

    w.clickListen();
    ASSERT_TRUE (w.main().audition.isPlaying()) << w.panelText();
    EXPECT_EQ (w.main().audition.deviceTypeName(), "JACK");
    EXPECT_FALSE (w.main().isLive());
    EXPECT_EQ (w.listen(), "A");
    EXPECT_TRUE (pumpUntil (2000, [&] { return w.main().audition.outputLevelDb.load() > -60.0f; })) << "A plays";
    TrTest::keepForReview (w.snapshot(), "audition-a");

    const struct
    {
        juce::KeyPress key;
        const char* shown;
    } keys[] {
        { juce::KeyPress ('2'), "B" },
        { juce::KeyPress ('N'), "null" },
        { juce::KeyPress ('0'), "bypass" },
        { juce::KeyPress ('n', {}, 'n'), "null" },
        { juce::KeyPress ('1'), "A" },
    };
    for (const auto& k : keys)
    {
        EXPECT_TRUE (w.key (k.key)) << k.shown;
        EXPECT_EQ (w.listen(), k.shown);
        if (juce::String (k.shown) == "null")
        {
            // Two wires: the difference is silence.
            EXPECT_TRUE (pumpUntil (2000, [&] { return w.main().audition.outputLevelDb.load() < -110.0f; }))
                << w.main().audition.outputLevelDb.load();
            TrTest::keepForReview (w.snapshot(), "audition-null");
        }
    }
    EXPECT_FALSE (w.key (juce::KeyPress ('3')));

    EXPECT_TRUE (w.key (juce::KeyPress (' ')));
    EXPECT_FALSE (w.main().audition.isPlaying());
    EXPECT_EQ (w.listen(), "off");
    EXPECT_FALSE (w.key (juce::KeyPress ('2'))) << "the keys act only while playing";

    // LISTEN again plays in the mode last chosen; MEASURE stops it before measuring.
    w.clickListen();
    ASSERT_TRUE (w.main().audition.isPlaying());
    EXPECT_EQ (w.listen(), "A");
    w.click (w.main().getLayout().measure.getCentre());
    EXPECT_FALSE (w.main().audition.isPlaying());
    ASSERT_TRUE (pumpUntil (60000, [&] { return ! w.main().engine.isBusy(); }));
    pumpMessages (100);

    // LISTEN is refused while a job runs: asked in the same turn of the message loop as the
    // job's start, long before a null test of 8 s of audio can have finished.
    w.main().startMeasurement();
    ASSERT_TRUE (w.main().engine.isBusy());
    w.main().toggleAudition();
    EXPECT_FALSE (w.main().audition.isPlaying());
    ASSERT_TRUE (pumpUntil (60000, [&] { return ! w.main().engine.isBusy(); }));
    pumpMessages (100);

    // Live mode stops playback.
    w.clickListen();
    ASSERT_TRUE (w.main().audition.isPlaying());
    w.click (w.main().getLayout().live.getCentre());
    EXPECT_TRUE (w.main().isLive());
    EXPECT_FALSE (w.main().audition.isPlaying());
}

TEST (AuditionWindow, APluginSwappedWhilePlayingIsPreparedAndPlays)
{
    NullBench w;
    w.clickListen();
    ASSERT_TRUE (w.main().audition.isPlaying()) << w.panelText();
    w.main().keyPressed (juce::KeyPress ('2'));

    w.card (1).filesDropped ({ TrTest::fixture ("TestrigSoftClip").getFullPathName() }, 5, 5);
    pumpMessages (200);
    EXPECT_TRUE (w.main().audition.isPlaying());
    EXPECT_FALSE (w.main().audition.slotsChanged());
    EXPECT_EQ (w.listen(), "B");
    EXPECT_TRUE (pumpUntil (2000, [&] { return w.main().audition.outputLevelDb.load() > -60.0f; })) << "the new B plays";

    // With both slots emptied there is nothing left to hear.
    for (int i = 0; i < 2; ++i)
        w.clickButton (i, TrSlotCard::removeButton);
    pumpMessages (100);
    EXPECT_FALSE (w.main().audition.isPlaying());
}

TEST (AuditionWindow, PlaybackThatCannotStartSaysWhy)
{
    {
        NullBench w;
        const auto garbage = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("TrNotAudio.wav");
        garbage.replaceWithText ("not audio");
        w.main().view.chips.nullSignalFile = garbage.getFullPathName();
        w.clickListen();
        EXPECT_FALSE (w.main().audition.isPlaying());
        EXPECT_EQ (w.panelTitle(), "Could not start playback");
        EXPECT_EQ (w.panelText(), "could not read TrNotAudio.wav");
        garbage.deleteFile();
    }

    if (juce::File ("/dev/snd").exists())
        GTEST_SKIP() << "this machine has a sound card";
    const JackServerName nowhere ("testrig-no-such-server");
    NullBench w;
    w.clickListen();
    EXPECT_FALSE (w.main().audition.isPlaying());
    EXPECT_EQ (w.panelTitle(), "Could not start playback");
    EXPECT_EQ (w.panelText(), "no audio output device");
    EXPECT_EQ (w.listen(), "off");
}

TEST (AuditionWindow, ServerStopsDuringPlayback)
{
    const auto* pid = std::getenv ("TESTRIG_JACKD_PID");
    ASSERT_NE (pid, nullptr) << "run beside a JACK server of its own (tests/support/with-jackd.sh)";

    {
        NullBench w;
        w.clickListen();
        ASSERT_TRUE (w.main().audition.isPlaying()) << w.panelText();
        ASSERT_EQ (::kill (static_cast<pid_t> (std::atoi (pid)), SIGTERM), 0);

        EXPECT_TRUE (pumpUntil (10000, [&] { return ! w.main().audition.isPlaying(); }));
        EXPECT_EQ (w.panelTitle(), "Playback stopped");
        EXPECT_EQ (w.panelText(), "the audio device stopped");
        EXPECT_EQ (w.listen(), "off");
    }

    // The only test of its process: the tooltip timers its clicks started fire before it ends.
    pumpMessages (TrMainComponent::tooltipDelayMs + 200);
}
