#include "TrReportLines.h"

namespace TrTest
{
juce::StringArray reportLines (const juce::String& report)
{
    auto lines = juce::StringArray::fromTokens (report, "\n", "");
    if (! report.endsWith ("\n"))
        return { "(report does not end in a line end)" };

    lines.remove (lines.size() - 1);
    return lines;
}

std::optional<std::vector<double>> numbersIn (const juce::String& line, const juce::String& pattern)
{
    const auto pieces = juce::StringArray::fromTokens (pattern.replace ("{}", "\x01"), "\x01", "");
    std::vector<double> numbers;
    auto rest = line;

    for (int i = 0; i < pieces.size(); ++i)
    {
        if (i > 0)
        {
            const auto end = pieces[i].isEmpty() ? rest.length() : rest.indexOf (pieces[i]);
            if (end <= 0)
                return std::nullopt;

            const auto number = rest.substring (0, end);
            if (! number.containsOnly ("0123456789.-+e"))
                return std::nullopt;

            numbers.push_back (number.getDoubleValue());
            rest = rest.substring (end);
        }

        if (! rest.startsWith (pieces[i]))
            return std::nullopt;

        rest = rest.substring (pieces[i].length());
    }

    if (rest.isNotEmpty())
        return std::nullopt;

    return numbers;
}
}
