#include "TrNumberFormat.h"

#include <cmath>
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

juce::String percent (double value)
{
    if (value < 0.001)
        return "< 0.001 %";

    return fixed (value, value < 1.0 ? 3 : 2) + " %";
}
}
