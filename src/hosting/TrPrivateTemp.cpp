#include "TrPrivateTemp.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace TrPrivateTemp
{
namespace
{
struct Folder
{
    juce::File file;
    juce::String error;

    Folder()
    {
        const auto* fromEnvironment = std::getenv ("TMPDIR");
        if (fromEnvironment != nullptr && *fromEnvironment == '\0')
        {
            error = "TMPDIR is set but empty - point it at a writable folder or unset it";
            return;
        }

        const juce::String parent (fromEnvironment != nullptr ? fromEnvironment : "/tmp");
        auto pattern = (parent.trimCharactersAtEnd ("/") + "/TESTRIG-XXXXXX").toStdString();
        if (mkdtemp (pattern.data()) == nullptr)
        {
            error = "cannot make a private temporary folder in " + parent + ": " + juce::String (std::strerror (errno))
                  + " - point TMPDIR at a writable folder";
            return;
        }

        file = juce::File (juce::String::fromUTF8 (pattern.c_str()));
        setenv ("TMPDIR", pattern.c_str(), 1);
    }

    ~Folder()
    {
        if (file != juce::File())
            file.deleteRecursively (false);
    }
};

Folder& instance()
{
    static Folder folder;
    return folder;
}
}

juce::String open()
{
    return instance().error;
}

juce::File folder()
{
    return instance().file;
}
}
