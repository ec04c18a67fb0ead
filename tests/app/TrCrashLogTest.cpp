#include "TrChildProcess.h"
#include "TrTestPaths.h"
#include "app/TrCrashLog.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <vector>
#include <sys/stat.h>

namespace
{
/** A copy of TESTRIG in a folder of its own, so that its crash log lies there too. */
struct Sandbox
{
    bool prepare() const
    {
        return folder.createDirectory() && TrTest::testrigExecutable().copyFileTo (executable)
            && executable.setExecutePermission (true);
    }

    ~Sandbox() { folder.deleteRecursively(); }

    TrTest::ChildResult crash (const juce::StringArray& removedEnvironment = {}, const juce::StringArray& addedEnvironment = {}) const
    {
        return TrTest::runChild (executable, { "--list-params", TrTest::fixture ("TestrigCrashOnLoad").getFullPathName() },
                                 60.0, removedEnvironment, addedEnvironment);
    }

    juce::File folder = juce::File::createTempFile ("");
    juce::File executable = folder.getChildFile ("TESTRIG");
    juce::File log = folder.getChildFile ("TESTRIG_crash.log");
};

/** "=== TESTRIG crash 8 Dec 2026 11:40:49pm (v0.1.0) ===\r\n" with any plausible time. */
bool hasHeader (const juce::String& block)
{
    const auto line = block.upToFirstOccurrenceOf ("\r\n", false, false);
    const auto words = juce::StringArray::fromTokens (line, " ", "");
    const juce::StringArray months { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const auto clock = words[6];

    return words.size() == 9 && line.startsWith ("=== TESTRIG crash ") && line.endsWith (" (v" TESTRIG_VERSION ") ===")
        && words[3].getIntValue() >= 1 && words[3].getIntValue() <= 31 && words[3].containsOnly ("0123456789")
        && months.contains (words[4]) && words[5].length() == 4 && words[5].containsOnly ("0123456789")
        && (clock.endsWith ("am") || clock.endsWith ("pm"))
        && clock.matchesWildcard ("*:??:????", false) && clock.upToFirstOccurrenceOf (":", false, false).getIntValue() >= 1
        && clock.upToFirstOccurrenceOf (":", false, false).getIntValue() <= 12
        && block.contains ("\r\n");
}

/** Runs the body with the process's time zone set to zone, then puts the old one back. */
template <typename Body>
void inZone (const char* zone, Body&& body)
{
    const auto* previous = std::getenv ("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    setenv ("TZ", zone, 1);
    tzset();
    body();
    if (previous != nullptr)
        setenv ("TZ", saved.c_str(), 1);
    else
        unsetenv ("TZ");
    tzset();
}

/** The header's time as the crash log writes it, for a moment in the current zone. */
std::string headerTime (std::time_t t)
{
    std::tm local {};
    localtime_r (&t, &local);
    char text[64];
    return std::string (text, TrCrashLog::formatTime (t, local.tm_gmtoff, text, sizeof (text)));
}

bool hasLoneNewline (const juce::String& text)
{
    for (int i = 0; i < text.length(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return true;

    return false;
}
}

TEST (CrashLog, EachCrashAppendsASymbolisedBlockAndEndsBySigkill)
{
    Sandbox sandbox;
    ASSERT_TRUE (sandbox.prepare());

    for (int run = 1; run <= 2; ++run)
    {
        const auto r = sandbox.crash();
        EXPECT_EQ (r.signal, SIGKILL) << "run " << run;
        EXPECT_TRUE (r.output.startsWith ("=== TESTRIG crash ")) << r.output;
    }

    const auto text = sandbox.log.loadFileAsString();
    const auto blocks = juce::StringArray::fromTokens (text.replace ("=== TESTRIG crash ", "\x01=== TESTRIG crash "),
                                                       "\x01", "");
    juce::StringArray nonEmpty;
    for (const auto& b : blocks)
        if (b.isNotEmpty())
            nonEmpty.add (b);

    ASSERT_EQ (nonEmpty.size(), 2) << text;
    EXPECT_FALSE (hasLoneNewline (text)) << "every line ends in \\r\\n";

    for (const auto& block : nonEmpty)
    {
        EXPECT_TRUE (hasHeader (block)) << block;
        EXPECT_TRUE (block.endsWith ("\r\n\r\n"));
        const auto bundle = TrTest::fixture ("TestrigCrashOnLoad").getFullPathName();
        EXPECT_TRUE (block.contains ("\r\nsignal: SIGSEGV (invalid memory access)\r\nmode:   --list-params\r\nslot A: " + bundle + "\r\n00  "))
            << block;
        EXPECT_TRUE (block.contains ("  " + bundle + "/Contents/x86_64-linux/TestrigCrashOnLoad.so  0x"))
            << "the faulting module is named by its full path";
        EXPECT_TRUE (block.contains ("createPluginFilter")) << "its function is symbolised, though hidden";
        EXPECT_TRUE (block.contains ("TrPluginSlot")) << "the host's own frames are symbolised";
    }
}

TEST (CrashLog, ALogThatCannotBeWrittenBesideTheExecutableGoesToTheUsersCache)
{
    Sandbox sandbox;
    ASSERT_TRUE (sandbox.prepare());
    ASSERT_TRUE (sandbox.log.createDirectory()) << "a folder where the log file should be: it cannot be opened";
    const auto home = sandbox.folder.getChildFile ("home");
    ASSERT_TRUE (home.createDirectory());

    const auto r = sandbox.crash ({ "HOME" }, { "HOME=" + home.getFullPathName() });
    EXPECT_EQ (r.signal, SIGKILL);
    const auto fallback = home.getChildFile (".cache/TESTRIG/TESTRIG_crash.log");
    EXPECT_TRUE (r.output.startsWith ("the crash log cannot be written to " + sandbox.log.getFullPathName() + " - it goes to "
                                      + fallback.getFullPathName() + "\n=== TESTRIG crash "))
        << r.output;
    EXPECT_TRUE (hasHeader (fallback.loadFileAsString())) << fallback.getFullPathName();
}

TEST (CrashLog, AHandlerThatBlocksIsEndedByItsWatchdog)
{
    Sandbox sandbox;
    ASSERT_TRUE (sandbox.prepare());
    // Opening a pipe with no reader for writing blocks forever: a handler stuck the way one
    // stuck on a lock would be.
    ASSERT_EQ (mkfifo (sandbox.log.getFullPathName().toRawUTF8(), 0644), 0);

    const auto tmp = sandbox.folder.getChildFile ("tmp");
    ASSERT_TRUE (tmp.createDirectory());
    const auto r = sandbox.crash ({ "TMPDIR" }, { "TMPDIR=" + tmp.getFullPathName() });
    EXPECT_FALSE (r.timedOut);
    EXPECT_EQ (r.signal, SIGKILL);
    EXPECT_EQ (tmp.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0) << "the private folder is removed all the same";
}

TEST (CrashLog, TheHeaderTellsTheLocalTimeOfTheCrash)
{
    // Half an hour east of UTC: a sign turned the wrong way would put the crash 11 hours off.
    Sandbox sandbox;
    ASSERT_TRUE (sandbox.prepare());

    const auto before = std::time (nullptr);
    const auto r = TrTest::runChild (sandbox.executable, { "--list-params", TrTest::fixture ("TestrigCrashOnLoad").getFullPathName() },
                                     60.0, { "TZ" }, { "TZ=Asia/Kolkata" });
    const auto after = std::time (nullptr);
    ASSERT_EQ (r.signal, SIGKILL);

    const auto header = r.output.upToFirstOccurrenceOf (" (v", false, false).fromFirstOccurrenceOf ("=== TESTRIG crash ", false, false);
    inZone ("Asia/Kolkata", [&] {
        bool matches = false;
        for (auto t = before; t <= after; ++t)
            matches = matches || header.toStdString() == headerTime (t);
        EXPECT_TRUE (matches) << header << " is not a time between " << headerTime (before) << " and " << headerTime (after);
    });
}

TEST (CrashLog, TimesReadAsJuceWritesThemInEveryZone)
{
    // Zones off by half and three quarters of an hour, and both sides of daylight saving.
    const std::vector<std::time_t> times {
        0,            // 1 Jan 1970 midnight: 12 am
        951782400,    // 29 Feb 2000
        946684799,    // 31 Dec 1999 23:59:59
        1709208000,   // 29 Feb 2024 12:00 noon UTC
        1796682049,   // Dec 2026
        2147483647,   // Jan 2038
        4102444800,   // 1 Jan 2100
    };

    const std::vector<std::time_t> aroundDaylightSaving {
        1772953199,   // 8 Mar 2026 01:59:59 in New York, the second before clocks go forward
        1772953200,   // 8 Mar 2026 03:00:00 there, the second after
        1775318400,   // 5 Apr 2026 02:30 in Adelaide, half an hour before clocks go back
        1775325600,   // 03:30 there, an hour and a half later
    };

    for (const auto* zone : { "UTC", "Asia/Kolkata", "Asia/Kathmandu", "America/New_York", "Australia/Adelaide", "America/St_Johns" })
    {
        inZone (zone, [&] {
            for (const auto* list : { &times, &aroundDaylightSaving })
                for (const auto t : *list)
                    EXPECT_EQ (headerTime (t), juce::Time (static_cast<juce::int64> (t) * 1000).toString (true, true, true, false).toStdString())
                        << zone << " at " << t;
        });
    }

    inZone ("Asia/Kathmandu", [] {
        std::tm local {};
        const std::time_t t = 1796682049;
        localtime_r (&t, &local);
        EXPECT_EQ (local.tm_gmtoff, 5 * 3600 + 45 * 60) << "the zone data is installed (Debian's tzdata)";
    });
}

TEST (CrashLogDeathTest, ACrashWhileProcessingIsLoggedFromThePluginsFrame)
{
    const auto log = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("TESTRIG_crash.log");
    log.deleteFile();

    EXPECT_EXIT (
        {
            TrCrashLog::install();
            TrSlotManager manager;
            auto& slot = manager.slot (0);
            juce::String error;
            if (slot.loadFromFile (TrTest::fixture ("TestrigFixture"), error))
            {
                slot.instance->getParameters()[0]->setValueNotifyingHost (TrTest::fixtureMode ("Crash"));
                juce::AudioBuffer<float> buffer (2, 512);
                juce::MidiBuffer midi;
                slot.instance->processBlock (buffer, midi);
            }
            std::_Exit (0);
        },
        ::testing::KilledBySignal (SIGKILL), "");

    const auto text = log.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("=== TESTRIG crash ")) << text;
    EXPECT_TRUE (text.contains ("TestrigFixture.so  0x")) << text;
    EXPECT_TRUE (text.contains ("processBlock")) << text;
    log.deleteFile();
}

namespace
{
/** A thread that ignores being asked to stop, as one stuck inside a plugin does. */
struct StuckThread final : juce::Thread
{
    StuckThread() : juce::Thread ("TESTRIG stuck") {}
    void run() override { juce::Thread::sleep (60000); }
};

/** A thread that stops when asked. */
struct PoliteThread final : juce::Thread
{
    PoliteThread() : juce::Thread ("TESTRIG polite") {}
    void run() override
    {
        while (! threadShouldExit())
            wait (-1);
    }
};
}

TEST (CrashLogDeathTest, AThreadThatDoesNotStopInTimeEndsTheProcessWithALineNamingIt)
{
    EXPECT_EXIT (
        {
            StuckThread stuck;
            stuck.startThread();
            TrCrashLog::stopOrEndProcess (stuck, 1000);
        },
        testing::ExitedWithCode (1), "thread \"TESTRIG stuck\" did not stop within 1 s; TESTRIG ended itself");

    PoliteThread polite;
    polite.startThread();
    TrCrashLog::stopOrEndProcess (polite, 5000);
    EXPECT_FALSE (polite.isThreadRunning()) << "a thread that stops is simply waited for";
}
