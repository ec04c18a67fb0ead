#include "TrNumberFormat.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <sstream>

namespace TrNumberFormat
{
juce::String plain (double value)
{
    std::ostringstream out;
    out << (value == 0.0 ? 0.0 : value); // no "-0"
    return out.str();
}

juce::String fixed (double value, int decimals)
{
    if (decimals <= 0)
        return plain (value);

    if (! std::isfinite (value) || std::abs (value) >= 1e20)
    {
        std::ostringstream out;
        out << std::fixed << std::setprecision (decimals) << value;
        return out.str();
    }

    const auto scale = std::pow (10.0, decimals);
    const auto rounded = std::round (std::abs (value) * scale) / scale;

    char text[64];
    std::snprintf (text, sizeof (text), "%s%.*f", value < 0.0 && rounded > 0.0 ? "-" : "", decimals, rounded);
    return text;
}

juce::String padded (const juce::String& text, int width)
{
    return text.paddedLeft (' ', width);
}

juce::String whole (double value)
{
    return juce::String (static_cast<long long> (std::llround (value)));
}

juce::String percent (double value)
{
    if (value < 0.001)
        return "< 0.001 %";

    return fixed (value, value < 1.0 ? 3 : 2) + " %";
}

std::optional<double> read (const juce::String& text)
{
    const auto utf8 = text.toStdString();
    if (utf8.empty() || std::isspace (static_cast<unsigned char> (utf8.front())))
        return std::nullopt;

    char* end = nullptr;
    errno = 0;
    const auto value = std::strtod (utf8.c_str(), &end);
    if (errno != 0 || end != utf8.c_str() + utf8.size() || ! std::isfinite (value))
        return std::nullopt;

    return value;
}
}
