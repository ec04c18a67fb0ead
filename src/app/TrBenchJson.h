#pragma once

#include "hosting/TrPluginSlot.h"
#include "verdicts/TrVerdict.h"

#include <juce_core/juce_core.h>

/** The JSON document a bench mode prints instead of its text report when given --json. While a
    document is open, standard output is handed to standard error (plugins print there too, and
    so does the text report), and the document alone goes to the real standard output when the
    mode ends: "mode", "status", "plugin" (or "plugin_a" and "plugin_b"), "settings", the
    mode's figures, "verdict" and "error" (null unless the run failed). */
namespace TrBenchJson
{
    /** Opens the document of a mode. */
    void begin (const juce::String& mode);

    /** Whether a document is open. */
    bool active();

    /** Sets one top-level member. */
    void set (const juce::String& key, const juce::var& value);

    /** Records what went wrong; the first error is kept. */
    void fail (const juce::String& error);

    /** Prints the document with the mode's exit status and closes it. */
    void finish (int status);

    /** A figure rounded as the text report prints it, or null when it was not measured (not
        finite). Zero never carries a sign. */
    juce::var figure (double value, int decimals);

    /** A level in dB as figure() gives it, null also when it holds the not-measured mark. */
    juce::var decibels (double value, int decimals);

    /** The "settings" member every bench mode starts with: its rate and the --param assignments
        given, with the mode's own settings after them. */
    void settings (double sampleRate, const juce::StringArray& assignments,
                   std::initializer_list<std::pair<const char*, juce::var>> own = {});

    /** An object from key/value pairs, in order. */
    juce::var object (std::initializer_list<std::pair<const char*, juce::var>> members);

    /** An array of the values. */
    juce::var array (const juce::Array<juce::var>& values);

    /** { "grade", "text", "detail" } of a verdict; the grade as the verdict names it. */
    juce::var verdict (const TrVerdict::Verdict& verdict);

    /** { "name", "format", "path", "layout" } of the plugin in a slot; path is the bundle's path
        or the plugin's URI. */
    juce::var plugin (const TrPluginSlot& slot);
}
