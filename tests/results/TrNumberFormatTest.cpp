#include "results/TrNumberFormat.h"
#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

#include <cmath>

TEST (NumberFormat, PlainFixedAndPaddedReadAsTheReportsNeed)
{
    const struct
    {
        juce::String actual;
        const char* expected;
    } cases[] {
        { TrNumberFormat::plain (48000.0), "48000" },
        { TrNumberFormat::plain (999.755859375), "999.756" },
        { TrNumberFormat::plain (-6.0), "-6" },
        { TrNumberFormat::plain (1e-7), "1e-07" },
        { TrNumberFormat::plain (1234567.0), "1.23457e+06" },
        { TrNumberFormat::fixed (2.5, 2), "2.50" },
        { TrNumberFormat::fixed (0.125, 2), "0.13" },          // half away from zero
        { TrNumberFormat::fixed (-0.125, 2), "-0.13" },
        { TrNumberFormat::fixed (-0.001, 2), "0.00" },         // a value that rounds to zero has no sign
        { TrNumberFormat::fixed (-0.0049, 2), "0.00" },
        { TrNumberFormat::fixed (-0.005, 2), "-0.01" },
        { TrNumberFormat::fixed (-0.0, 1), "0.0" },
        { TrNumberFormat::plain (-0.0), "0" },
        { TrVerdict::detail_::db (-0.04, 1), "0.0 dB" },
        { TrNumberFormat::fixed (0.0, 2), "0.00" },
        { TrNumberFormat::fixed (-1.0, 4), "-1.0000" },
        { TrNumberFormat::fixed (-189.8549, 2), "-189.85" },
        { TrNumberFormat::fixed (2.5, 0), "2.5" },             // no decimals means plain
        { TrNumberFormat::fixed (1e20, 1), "100000000000000000000.0" },
        { TrNumberFormat::fixed (NAN, 2), "nan" },
        { TrNumberFormat::fixed (INFINITY, 2), "inf" },
        { TrNumberFormat::fixed (-INFINITY, 1), "-inf" },
        { TrNumberFormat::padded ("-1.5", 7), "   -1.5" },
        { TrNumberFormat::padded ("-150.25", 3), "-150.25" },
        { TrNumberFormat::percent (0.0009), "< 0.001 %" },
        { TrNumberFormat::percent (0.001), "0.001 %" },
        { TrNumberFormat::percent (0.5), "0.500 %" },
        { TrNumberFormat::percent (1.0), "1.00 %" },
        { TrVerdict::detail_::db (-72.04, 1), "-72.0 dB" },
        { TrVerdict::detail_::hzOrDb (-3.5f, true), "-4 dBFS" },
        { TrVerdict::detail_::hzOrDb (2.5f, true), "3 dBFS" },
        { TrVerdict::detail_::hzOrDb (999.6f, false), "1000 Hz" },
        { TrVerdict::detail_::hzOrDb (1000.0f, false), "1.0 kHz" },
        { TrVerdict::detail_::hzOrDb (12500.0f, false), "12.5 kHz" },
        { TrVerdict::detail_::hzOrDb (440.4f, false), "440 Hz" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.actual, c.expected);
}
