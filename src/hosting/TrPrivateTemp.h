#pragma once

#include <juce_core/juce_core.h>

/** A temporary folder of this process's own: made by mkdtemp under TMPDIR (or /tmp) with mode
    0700, so no other user can plant a plugin bundle in it, and removed with everything in it
    when the process ends. TMPDIR then points into it, so that the framework's own temporary
    files (the LV2 host's bundle of specifications) land there too. */
namespace TrPrivateTemp
{
    /** Makes the folder on the first call; afterwards does nothing. Returns what went wrong (an
        empty TMPDIR, a folder that cannot be made there), or empty. */
    juce::String open();

    /** The folder, made on demand; an invalid file when it cannot be made. */
    juce::File folder();
}
