#include "TrJackServer.h"

#include "TrChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TrTest
{
JackServer::JackServer (const juce::String& serverName) : name (serverName)
{
    if (const auto* current = std::getenv ("JACK_DEFAULT_SERVER"))
    {
        previousDefault = current;
        hadPreviousDefault = true;
    }

    pid = ::fork();
    if (pid == 0)
    {
        const auto devNull = ::open ("/dev/null", O_WRONLY);
        ::dup2 (devNull, STDOUT_FILENO);
        ::dup2 (devNull, STDERR_FILENO);
        ::setenv ("JACK_NO_AUDIO_RESERVATION", "1", 1);
        ::execlp ("jackd", "jackd", "-n", name.toRawUTF8(), "--no-realtime", "-d", "dummy", "-r", "48000",
                  "-p", "512", "-C", "2", "-P", "2", static_cast<char*> (nullptr));
        ::_exit (127);
    }
    if (pid < 0)
        return;

    running = runChild (juce::File ("/usr/bin/jack_wait"), { "-s", name, "-n", "wait-" + name, "-w", "-t", "20" }, 30.0).exitStatus == 0;
    ::setenv ("JACK_DEFAULT_SERVER", name.toRawUTF8(), 1);
}

JackServer::~JackServer()
{
    quit();
    if (pid > 0)
        ::waitpid (pid, nullptr, 0);
    // Semaphores of clients the server did not see close stay behind in shared memory.
    for (const auto& f : juce::File ("/dev/shm").findChildFiles (juce::File::findFiles, false, "jack_sem.*_" + name + "_*"))
        f.deleteFile();
    if (hadPreviousDefault)
        ::setenv ("JACK_DEFAULT_SERVER", previousDefault.toRawUTF8(), 1);
    else
        ::unsetenv ("JACK_DEFAULT_SERVER");
}

void JackServer::quit()
{
    if (pid > 0 && ! quitting)
        ::kill (pid, SIGTERM);
    quitting = true;
    running = false;
}
}
