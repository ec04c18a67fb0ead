#include "TrCrashLog.h"

#include "TrCrashSymbols.h"
#include "TrCrashText.h"
#include "hosting/TrMessageThread.h"

#include <atomic>
#include <csignal>
#include <execinfo.h>
#include <fcntl.h>
#include <cstdlib>
#include <cstring>
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TrCrashLog
{
namespace
{
constexpr int fatalSignals[] { SIGFPE, SIGILL, SIGSEGV, SIGBUS, SIGABRT, SIGSYS };
constexpr int maxFrames = 128;
constexpr unsigned watchdogSeconds = 10;
constexpr std::size_t fileBufferSize = 16384;

char logPath[PATH_MAX] {};
char fallbackFolder[PATH_MAX] {};
char fallbackPath[PATH_MAX] {};
char folderToRemove[PATH_MAX] {};
char modeName[64] {};
char slotPlugins[2][PATH_MAX] {};
long utcOffset = 0;
char textStorage[96 * 1024];
char alternateStack[64 * 1024];
std::atomic<bool> handling { false };

void writeAll (int fd, const char* data, std::size_t length)
{
    while (length > 0)
    {
        const auto written = write (fd, data, length);
        if (written <= 0)
            return;

        data += written;
        length -= static_cast<std::size_t> (written);
    }
}

void writeText (int fd, const char* text)
{
    writeAll (fd, text, strnlen (text, PATH_MAX));
}

/** The log beside the executable; when that cannot be opened, the one in ~/.cache/TESTRIG/,
    telling standard output so. */
int openLog()
{
    const int fd = open (logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0 || fallbackPath[0] == '\0')
        return fd;

    writeText (STDOUT_FILENO, "the crash log cannot be written to ");
    writeText (STDOUT_FILENO, logPath);
    writeText (STDOUT_FILENO, " - it goes to ");
    writeText (STDOUT_FILENO, fallbackPath);
    writeText (STDOUT_FILENO, "\n");

    // ~/.cache first, then its TESTRIG folder: each may be missing.
    char cache[PATH_MAX] {};
    const auto length = strnlen (fallbackFolder, sizeof (cache) - 1);
    memcpy (cache, fallbackFolder, length);
    for (auto i = length; i > 0; --i)
    {
        if (cache[i] == '/')
        {
            cache[i] = '\0';
            mkdir (cache, 0700);
            break;
        }
    }
    mkdir (fallbackFolder, 0700);
    return open (fallbackPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

const char* describeSignal (int signal)
{
    switch (signal)
    {
        case SIGFPE:  return "SIGFPE (arithmetic fault)";
        case SIGILL:  return "SIGILL (illegal instruction)";
        case SIGSEGV: return "SIGSEGV (invalid memory access)";
        case SIGBUS:  return "SIGBUS (bus error)";
        case SIGABRT: return "SIGABRT (abort)";
        case SIGSYS:  return "SIGSYS (bad system call)";
        default:      return "unknown signal";
    }
}

// The log uses "\r\n" line ends; frame lines already have them, the rest gets them here.
void appendToLog (const TrCrashText& text)
{
    const int fd = openLog();
    if (fd < 0)
        return;

    char buffer[fileBufferSize];
    std::size_t used = 0;

    for (std::size_t i = 0; i < text.length(); ++i)
    {
        if (used + 2 > sizeof (buffer))
        {
            writeAll (fd, buffer, used);
            used = 0;
        }

        const auto c = text.text()[i];
        if (c == '\n' && (i == 0 || text.text()[i - 1] != '\r'))
            buffer[used++] = '\r';

        buffer[used++] = c;
    }

    writeAll (fd, buffer, used);
    close (fd);
}

// Removing a tree takes more than the calls a signal handler may make; a child process may.
void removeFolder()
{
    if (folderToRemove[0] == '\0')
        return;

    const auto child = fork();
    if (child == 0)
    {
        char rm[] = "rm", recursive[] = "-rf", endOfOptions[] = "--";
        char* const argv[] { rm, recursive, endOfOptions, folderToRemove, nullptr };
        char* const environment[] { nullptr };
        execve ("/bin/rm", argv, environment);
        _exit (127);
    }

    if (child > 0)
        waitpid (child, nullptr, 0);
}

// A handler stuck in writing the log still leaves no private folder behind.
void handleWatchdog (int)
{
    removeFolder();
    kill (getpid(), SIGKILL);
}

void startWatchdog()
{
    struct sigaction watchdogAction {};
    watchdogAction.sa_handler = handleWatchdog;
    sigaction (SIGALRM, &watchdogAction, nullptr);

    sigset_t alarmOnly;
    sigemptyset (&alarmOnly);
    sigaddset (&alarmOnly, SIGALRM);
    pthread_sigmask (SIG_UNBLOCK, &alarmOnly, nullptr);

    alarm (watchdogSeconds);
}

void handleFatalSignal (int signal)
{
    // A second faulting thread waits: the first one ends the process.
    if (handling.exchange (true))
        for (;;)
            pause();

    startWatchdog();

    TrCrashText text (textStorage, sizeof (textStorage));
    char time[64];
    text.add ("=== TESTRIG crash ")
        .add (time, formatTime (std::time (nullptr), utcOffset, time, sizeof (time)))
        .add (" (v" TESTRIG_VERSION ") ===\n");
    text.add ("signal: ").add (describeSignal (signal)).add ("\n");
    text.add ("mode:   ").add (modeName, strnlen (modeName, sizeof (modeName))).add ("\n");
    for (int slot = 0; slot < 2; ++slot)
        if (slotPlugins[slot][0] != '\0')
            text.add (slot == 0 ? "slot A: " : "slot B: ").add (slotPlugins[slot], strnlen (slotPlugins[slot], PATH_MAX)).add ("\n");

    void* frames[maxFrames];
    const int numFrames = backtrace (frames, maxFrames);

    for (int i = 0; i < numFrames; ++i)
    {
        text.addDecimal (i, 2).add ("  ");
        TrCrashSymbols::describe (frames[i], text);
        text.add ("\r\n");
    }

    text.add ("\n");

    appendToLog (text);
    writeAll (STDOUT_FILENO, text.text(), text.length());
    writeAll (STDOUT_FILENO, "\n", 1);

    removeFolder();
    kill (getpid(), SIGKILL);
}
}

void install()
{
    const auto path = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                          .getSiblingFile ("TESTRIG_crash.log")
                          .getFullPathName();
    path.copyToUTF8 (logPath, sizeof (logPath));

    if (const auto* home = std::getenv ("HOME"); home != nullptr && *home != '\0')
    {
        const auto folder = juce::File (juce::String::fromUTF8 (home)).getChildFile (".cache/TESTRIG");
        folder.getFullPathName().copyToUTF8 (fallbackFolder, sizeof (fallbackFolder));
        folder.getChildFile ("TESTRIG_crash.log").getFullPathName().copyToUTF8 (fallbackPath, sizeof (fallbackPath));
    }

    const auto now = std::time (nullptr);
    std::tm local {};
    localtime_r (&now, &local);
    utcOffset = local.tm_gmtoff;

    TrCrashSymbols::prepare();

    // glibc loads its unwinder on the first call; do that now, not inside the handler.
    void* warmUp[1];
    backtrace (warmUp, 1);

    stack_t stack {};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof (alternateStack);
    sigaltstack (&stack, nullptr);

    struct sigaction action {};
    action.sa_handler = handleFatalSignal;
    action.sa_flags = SA_ONSTACK; // no SA_RESTART: system calls are interrupted
    sigemptyset (&action.sa_mask);
    for (auto s : fatalSignals)
        sigaddset (&action.sa_mask, s);

    for (auto s : fatalSignals)
        sigaction (s, &action, nullptr);
}

void noteMode (const juce::String& mode)
{
    mode.copyToUTF8 (modeName, sizeof (modeName));
}

void noteSlot (int slot, const juce::String& pluginPathOrUri)
{
    if (slot == 0 || slot == 1)
        pluginPathOrUri.copyToUTF8 (slotPlugins[slot], sizeof (slotPlugins[slot]));
}

void removeOnCrash (const juce::String& folder)
{
    folder.copyToUTF8 (folderToRemove, sizeof (folderToRemove));
}

void removeNotedFolder()
{
    removeFolder();
}

void stopOrEndProcess (juce::Thread& thread, int timeoutMs)
{
    thread.signalThreadShouldExit();
    thread.notify();
    // Meanwhile the calls the thread makes on the message thread are served: it may be waiting
    // for one to put a plugin back as it found it.
    const auto deadline = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (timeoutMs);
    while (! thread.waitForThreadToExit (5))
    {
        TrMessageThread::serve();
        if (juce::Time::getMillisecondCounter() >= deadline)
            break;
    }
    if (! thread.isThreadRunning())
        return;

    TrCrashText text (textStorage, sizeof (textStorage));
    char time[64];
    text.add ("=== TESTRIG stopped waiting ")
        .add (time, formatTime (std::time (nullptr), utcOffset, time, sizeof (time)))
        .add (" (v" TESTRIG_VERSION ") ===\n");
    text.add ("thread \"").add (thread.getThreadName().toRawUTF8())
        .add ("\" did not stop within ").addDecimal (timeoutMs / 1000).add (" s; TESTRIG ended itself\n");
    text.add ("mode:   ").add (modeName, strnlen (modeName, sizeof (modeName))).add ("\n");
    for (int slot = 0; slot < 2; ++slot)
        if (slotPlugins[slot][0] != '\0')
            text.add (slot == 0 ? "slot A: " : "slot B: ").add (slotPlugins[slot], strnlen (slotPlugins[slot], PATH_MAX)).add ("\n");
    text.add ("\n");

    if (logPath[0] != '\0')
        appendToLog (text);
    writeAll (STDERR_FILENO, text.text(), text.length());
    removeFolder();
    _exit (1);
}

std::size_t formatTime (std::time_t utc, long utcOffsetSeconds, char* out, std::size_t capacity)
{
    static constexpr const char* months[] { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };

    const long long local = static_cast<long long> (utc) + utcOffsetSeconds;
    long long days = local / 86400;
    long long secondOfDay = local % 86400;
    if (secondOfDay < 0)
    {
        secondOfDay += 86400;
        --days;
    }

    // Civil date from days since 1970-01-01 (proleptic Gregorian calendar).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const long long month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    const auto hours = secondOfDay / 3600;
    const auto hours12 = hours % 12 == 0 ? 12 : hours % 12;

    TrCrashText text (out, capacity);
    text.addDecimal (day).add (" ").add (months[month - 1]).add (" ").addDecimal (year).add (" ");
    text.addDecimal (hours12).add (":").addDecimal (secondOfDay / 60 % 60, 2).add (":").addDecimal (secondOfDay % 60, 2);
    text.add (hours >= 12 ? "pm" : "am");
    return text.length();
}
}
