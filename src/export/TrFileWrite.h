#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/** Every file an export writes goes through here: into a temporary file beside the target, flushed
    and checked, then renamed over the target. A failed write leaves the old file as it was and no
    temporary file behind. */
namespace TrFileWrite
{
/** Calls write with a stream for the content; fails when write returns false or the disk takes
    less than all of it (a full disk, a file size limit). Creates the target's folder. */
juce::Result replace (const juce::File& target, const std::function<bool (juce::OutputStream&)>& write);

/** "Could not write " and the file's full path: how every export names a failed file. */
juce::String couldNotWrite (const juce::File& target);

/** The text as UTF-8 without a byte-order mark. */
juce::Result replaceWithText (const juce::File& target, const juce::String& text);
}
