#pragma once

#include <juce_core/juce_core.h>

/** Standard output for the headless reports. */
namespace TrConsole
{
    /** Writes the text as UTF-8 and flushes, so nothing printed is lost if a plugin then crashes. */
    void print (const juce::String& text);
}
