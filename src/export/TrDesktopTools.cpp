#include "TrDesktopTools.h"

#include "TrFileWrite.h"
#include "hosting/TrPrivateTemp.h"

#include <algorithm>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

juce::File TrDesktopTools::findProgram (const juce::String& name)
{
    for (const auto& dir : juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", {}), ":", ""))
        if (dir.isNotEmpty() && juce::File::isAbsolutePath (dir))
            if (const auto candidate = juce::File (dir).getChildFile (name); candidate.existsAsFile() && candidate.hasReadAccess())
                return candidate;
    return {};
}

juce::String TrDesktopTools::copyImageToClipboard (const juce::Image& image)
{
    const auto xclip = findProgram ("xclip");
    if (xclip == juce::File())
        return "Copying an image needs the program xclip, which is not installed (Debian package \"xclip\").";

    const auto png = TrPrivateTemp::folder().getNonexistentChildFile ("clipboard", ".png", false);
    const auto written = TrFileWrite::replace (png, [&image] (juce::OutputStream& out) {
        return juce::PNGImageFormat().writeImageToStream (image, out);
    });
    if (written.failed())
        return written.getErrorMessage();

    // xclip reads the whole file, takes the clipboard and then leaves a copy of itself behind to
    // serve it; the process started here ends at once. Its error output is read only when it
    // failed, when no copy was left holding the pipe open.
    juce::ChildProcess process;
    juce::String problem;
    if (! process.start (juce::StringArray { xclip.getFullPathName(), "-selection", "clipboard", "-t", "image/png", "-i", png.getFullPathName() },
                         juce::ChildProcess::wantStdErr))
        problem = "xclip could not be started.";
    else if (! process.waitForProcessToFinish (5000))
    {
        process.kill();
        problem = "xclip did not answer within 5 s.";
    }
    else if (const auto status = process.getExitCode(); status != 0)
    {
        const auto said = process.readAllProcessOutput().trim();
        problem = "xclip could not take the clipboard (exit status " + juce::String (status) + ")" + (said.isNotEmpty() ? ": " + said : juce::String ("."));
    }
    png.deleteFile();
    return problem;
}

juce::String TrDesktopTools::revealInFileBrowser (const juce::File& file)
{
    const auto opener = findProgram ("xdg-open");
    if (opener == juce::File())
        return "Saved as " + file.getFullPathName() + ". The file browser could not be opened: xdg-open is not installed (Debian package \"xdg-utils\").";

    // A browser started this way may run for long; those that ended are collected at the next reveal.
    static std::vector<pid_t> started;
    started.erase (std::remove_if (started.begin(), started.end(), [] (pid_t p) { return waitpid (p, nullptr, WNOHANG) != 0; }), started.end());

    std::string program = opener.getFullPathName().toStdString(), folder = file.getParentDirectory().getFullPathName().toStdString();
    char* argv[] { program.data(), folder.data(), nullptr };
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init (&quiet);
    posix_spawn_file_actions_addopen (&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const auto failed = posix_spawn (&pid, argv[0], &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy (&quiet);
    if (failed != 0)
        return "Saved as " + file.getFullPathName() + ". The file browser could not be opened: xdg-open could not be started.";
    started.push_back (pid);
    return {};
}
