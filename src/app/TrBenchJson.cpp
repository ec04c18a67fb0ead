#include "TrBenchJson.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace TrBenchJson
{
namespace
{
struct Document
{
    juce::DynamicObject::Ptr root;
    int reportFd = -1;
};

// Never destroyed: an exit forced by a plugin still finds it after static objects are gone.
Document& document()
{
    static auto* d = new Document();
    return *d;
}
}

void begin (const juce::String& mode)
{
    auto& d = document();
    if (d.root != nullptr)
        return;

    d.root = new juce::DynamicObject();
    d.root->setProperty ("mode", mode);
    d.root->setProperty ("status", juce::var());
    d.root->setProperty ("error", juce::var());

    std::fflush (stdout);
    d.reportFd = dup (STDOUT_FILENO);
    dup2 (STDERR_FILENO, STDOUT_FILENO);
}

bool active()
{
    return document().root != nullptr;
}

void set (const juce::String& key, const juce::var& value)
{
    if (auto& root = document().root)
        root->setProperty (key, value);
}

void fail (const juce::String& error)
{
    auto& root = document().root;
    if (root != nullptr && root->getProperty ("error").isVoid())
        root->setProperty ("error", error);
}

void finish (int status)
{
    auto& d = document();
    if (d.root == nullptr)
        return;

    d.root->setProperty ("status", status);
    const auto text = juce::JSON::toString (juce::var (d.root.get()), false) + "\n";

    std::fflush (stdout);
    dup2 (d.reportFd, STDOUT_FILENO);
    close (d.reportFd);
    d.root = nullptr;

    const auto* utf8 = text.toRawUTF8();
    for (size_t written = 0, length = std::strlen (utf8); written < length;)
    {
        const auto n = write (STDOUT_FILENO, utf8 + written, length - written);
        if (n <= 0)
            break;
        written += static_cast<size_t> (n);
    }
}

juce::var figure (double value, int decimals)
{
    if (! std::isfinite (value))
        return {};

    const auto scale = std::pow (10.0, decimals);
    return std::round (value * scale) / scale + 0.0;
}

juce::var decibels (double value, int decimals)
{
    return value <= TrSentinel::notMeasuredDb ? juce::var() : figure (value, decimals);
}

void settings (double sampleRate, const juce::StringArray& assignments, std::initializer_list<std::pair<const char*, juce::var>> own)
{
    auto* o = new juce::DynamicObject();
    o->setProperty ("sample_rate_hz", sampleRate);
    for (const auto& [key, value] : own)
        o->setProperty (key, value);

    juce::Array<juce::var> params;
    for (const auto& a : assignments)
        params.add (a);
    o->setProperty ("params", params);
    set ("settings", juce::var (o));
}

juce::var object (std::initializer_list<std::pair<const char*, juce::var>> members)
{
    auto* o = new juce::DynamicObject();
    for (const auto& [key, value] : members)
        o->setProperty (key, value);
    return juce::var (o);
}

juce::var array (const juce::Array<juce::var>& values)
{
    return juce::var (values);
}

juce::var verdict (const TrVerdict::Verdict& v)
{
    return object ({ { "grade", TrVerdict::gradeName (v.grade) },
                     { "text", v.text },
                     { "detail", v.detail.isEmpty() ? juce::var() : juce::var (v.detail) } });
}

juce::var plugin (const TrPluginSlot& slot)
{
    const auto& d = slot.description;
    return object ({ { "name", d.name }, { "format", d.pluginFormatName }, { "path", d.fileOrIdentifier }, { "layout", slotLayoutName (slot) } });
}
}
