#include "TrFileWrite.h"

juce::Result TrFileWrite::replace (const juce::File& target, const std::function<bool (juce::OutputStream&)>& write)
{
    // Renaming over a target would remove an empty folder of that name.
    if (target.isDirectory())
        return juce::Result::fail (couldNotWrite (target) + ": a folder of that name is in the way");

    const auto folder = target.getParentDirectory();
    if (const auto made = folder.createDirectory(); made.failed())
        return juce::Result::fail ("Could not create " + folder.getFullPathName() + ": " + made.getErrorMessage());

    // The content is made in memory first: the file stream reports neither a short write nor a
    // failed flush, so what reached the disk is checked by its size afterwards.
    juce::MemoryOutputStream content;
    if (! write (content))
        return juce::Result::fail (couldNotWrite (target));

    const auto temporary = folder.getNonexistentChildFile ("." + target.getFileName() + ".part", {}, false);
    auto ok = false;
    juce::String problem;
    {
        juce::FileOutputStream out (temporary, 16384);
        if (! out.openedOk())
            problem = out.getStatus().getErrorMessage();
        else
        {
            ok = out.write (content.getData(), content.getDataSize());
            out.flush();
            if (out.getStatus().failed())
                problem = out.getStatus().getErrorMessage();
        }
    }
    if (ok && temporary.getSize() != static_cast<juce::int64> (content.getDataSize()))
    {
        ok = false;
        problem = "the disk took only " + juce::String (temporary.getSize()) + " of " + juce::String (static_cast<juce::int64> (content.getDataSize())) + " bytes";
    }

    if (ok && ! temporary.moveFileTo (target))
    {
        ok = false;
        problem = "could not rename the finished file into place";
    }
    if (! ok)
    {
        temporary.deleteFile();
        return juce::Result::fail (couldNotWrite (target) + (problem.isNotEmpty() ? ": " + problem : juce::String()));
    }
    return juce::Result::ok();
}

juce::Result TrFileWrite::replaceWithText (const juce::File& target, const juce::String& text)
{
    return replace (target, [&text] (juce::OutputStream& out) {
        return out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
    });
}

juce::String TrFileWrite::couldNotWrite (const juce::File& target)
{
    return "Could not write " + target.getFullPathName();
}
