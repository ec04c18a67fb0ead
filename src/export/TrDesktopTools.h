#pragma once

#include <juce_graphics/juce_graphics.h>

/** The desktop's own programs the exports hand over to: xclip, which serves an image on the X
    clipboard, and xdg-open, which shows a folder in the file browser. Both run as child processes
    with an argument list, never through a shell. */
namespace TrDesktopTools
{
/** The program's file found through PATH; an invalid file when it is not there. */
juce::File findProgram (const juce::String& name);

/** Puts the image on the clipboard as PNG data, replacing what is there. Empty on success, else
    why it failed in words for the user. The xclip left behind to serve the clipboard keeps running. */
juce::String copyImageToClipboard (const juce::Image& image);

/** Opens the file's folder in the file browser without waiting for it. Empty when that was asked
    for, else why not. */
juce::String revealInFileBrowser (const juce::File& file);
}
