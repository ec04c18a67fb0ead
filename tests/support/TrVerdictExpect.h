#pragma once

#include "verdicts/TrVerdict.h"

#include <gtest/gtest.h>

namespace TrTest
{
    /** A verdict as a table of cases expects it. */
    struct ExpectedVerdict
    {
        TrVerdict::Grade grade;
        juce::String text;
        juce::String detail;
    };

    inline void expectVerdict (const TrVerdict::Verdict& v, const ExpectedVerdict& e, const juce::String& label)
    {
        EXPECT_EQ (v.grade, e.grade) << label;
        EXPECT_EQ (v.text, e.text) << label;
        EXPECT_EQ (v.detail, e.detail) << label;
    }
}
