#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <ctime>

/** The crash handler: on a fatal signal it appends a report to "TESTRIG_crash.log" beside the
    executable (or, when that cannot be written, to ~/.cache/TESTRIG/, saying so), prints it, and
    kills the process with SIGKILL. The report names the signal, the mode and the plugin loaded in
    each slot, and gives a symbolised backtrace whose frames name their module by full path.

    The handler allocates nothing and takes no lock of ours, because a faulty plugin often
    crashes inside the allocator; a watchdog alarm removes the private folder and ends the
    process if the handler itself blocks. */
namespace TrCrashLog
{
    /** Installs the handler for SIGFPE, SIGILL, SIGSEGV, SIGBUS, SIGABRT and SIGSYS, with
        system calls interrupted rather than restarted. Call once, early at start-up. */
    void install();

    /** What the report names as the mode ("--bench-checks", "window"). */
    void noteMode (const juce::String& mode);

    /** What the report names as loaded in slot 0 (A) or 1 (B): a path or URI, or empty. Kept in
        fixed buffers, so the handler reads it without allocating. */
    void noteSlot (int slot, const juce::String& pluginPathOrUri);

    /** Has the handler remove this folder and everything in it before the process dies. */
    void removeOnCrash (const juce::String& folder);

    /** Removes that folder now through a child process, without allocating: for the ends of a
        process where the plugin may have broken the heap. */
    void removeNotedFolder();

    /** Asks the thread to stop and waits up to timeoutMs, serving the plugin calls it waits for on
        the message thread meanwhile (see TrMessageThread). A thread still running then may hold a
        slot's lock inside a plugin: destroying what it uses could hang or crash, and killing it
        could leave the lock held. So the log and standard error get a line naming it, and the
        process ends (status 1). Callers save what must not be lost before. */
    void stopOrEndProcess (juce::Thread& thread, int timeoutMs);

    /** Writes a local time the way the log's header shows it ("8 Dec 2026 11:40:49pm") into
        out and returns its length; utcOffsetSeconds is the local zone's offset from UTC. */
    std::size_t formatTime (std::time_t utc, long utcOffsetSeconds, char* out, std::size_t capacity);
}
