#include "TrChildProcess.h"

#include "TrTestPaths.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace TrTest
{
namespace
{
std::vector<std::string> environmentWithout (const juce::StringArray& removed, const juce::StringArray& added)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
    {
        const juce::String entry (*e);
        if (! removed.contains (entry.upToFirstOccurrenceOf ("=", false, false)))
            env.emplace_back (*e);
    }

    for (const auto& entry : added)
        env.push_back (entry.toStdString());
    return env;
}
}

ChildResult runChild (const juce::File& program, const juce::StringArray& args, double timeoutSeconds,
                      const juce::StringArray& removedEnvironment, const juce::StringArray& addedEnvironment)
{
    std::vector<std::string> argStrings { program.getFullPathName().toStdString() };
    for (const auto& a : args)
        argStrings.push_back (a.toStdString());

    std::vector<char*> argv;
    for (auto& a : argStrings)
        argv.push_back (a.data());
    argv.push_back (nullptr);

    auto envStrings = environmentWithout (removedEnvironment, addedEnvironment);
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back (e.data());
    envp.push_back (nullptr);

    int pipeFds[2];
    if (pipe2 (pipeFds, O_CLOEXEC) != 0)
        return {};

    const pid_t pid = fork();
    if (pid == 0)
    {
        dup2 (pipeFds[1], STDOUT_FILENO);
        const int devNull = open ("/dev/null", O_WRONLY);
        dup2 (devNull, STDERR_FILENO);
        execve (argv[0], argv.data(), envp.data());
        _exit (127);
    }

    close (pipeFds[1]);

    ChildResult result;
    juce::MemoryBlock output;
    const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutSeconds * 1000.0;

    for (;;)
    {
        const auto remaining = deadline - juce::Time::getMillisecondCounterHiRes();
        if (remaining <= 0)
        {
            result.timedOut = true;
            kill (pid, SIGKILL);
            break;
        }

        pollfd pfd { pipeFds[0], POLLIN, 0 };
        if (poll (&pfd, 1, static_cast<int> (juce::jmin (remaining, 200.0))) <= 0)
            continue;

        char chunk[4096];
        const auto n = read (pipeFds[0], chunk, sizeof (chunk));
        if (n <= 0)
            break;
        output.append (chunk, static_cast<size_t> (n));
    }

    close (pipeFds[0]);

    int status = 0;
    waitpid (pid, &status, 0);
    if (WIFEXITED (status))
        result.exitStatus = WEXITSTATUS (status);
    if (WIFSIGNALED (status))
        result.signal = WTERMSIG (status);

    result.output = output.toString();
    return result;
}

ChildResult runTestrig (const juce::StringArray& args, double timeoutSeconds)
{
    return runChild (testrigExecutable(), args, timeoutSeconds);
}

juce::String missingDebianPackage (const juce::StringArray& args)
{
    // The packages scripts/install-deps.sh installs for the tests, by what their plugins are called.
    const struct
    {
        const char* prefix;
        const char* package;
    } packages[] {
        { "/usr/lib/vst3/Zam", "zam-plugins" }, { "/usr/lib/lv2/Zam", "zam-plugins" }, { "urn:zamaudio:", "zam-plugins" },
        { "/usr/lib/lv2/", "x42-plugins" },     { "http://gareus.org/", "x42-plugins" },
    };

    for (const auto& arg : args)
        for (const auto& p : packages)
            if (arg.startsWith (p.prefix) && ! juce::File ("/usr/share/doc/" + juce::String (p.package)).isDirectory())
                return p.package;

    return {};
}

ChildResult runTestrigOnThirdPartyPlugin (const juce::StringArray& args, double timeoutSeconds)
{
    if (const auto package = missingDebianPackage (args); package.isNotEmpty())
        return { "this test needs Debian's " + package + " package: scripts/install-deps.sh installs it\n" };

    const auto asanOptions = juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {});
    return runChild (testrigExecutable(), args, timeoutSeconds, { "ASAN_OPTIONS" },
                     { "ASAN_OPTIONS=" + asanOptions + (asanOptions.isEmpty() ? "" : ":") + "detect_leaks=0" });
}
}
