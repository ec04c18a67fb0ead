#include "app/TrBenchArgs.h"

#include <gtest/gtest.h>

TEST (BenchArgs, OptionsTakeTheNextArgumentAndTheLastOccurrenceWins)
{
    const juce::StringArray known { "--bench", "--freq", "--level", "--param" };

    const TrBenchArgs a ({ "x", "--bench", "p.vst3", "--freq", "440", "junk", "--freq", "880hz", "--level" }, known);
    EXPECT_EQ (a.text ("--bench"), "p.vst3");
    EXPECT_EQ (a.number ("--freq", 1.0), 880.0) << "lenient: the leading number";
    EXPECT_TRUE (a.has ("--level"));
    EXPECT_EQ (a.number ("--level", -6.0), 0.0) << "an option at the end reads empty, so 0";
    EXPECT_EQ (a.number ("--sr", 48000.0), 48000.0) << "absent: the default";

    // An option's value is consumed, even when it looks like another option.
    const TrBenchArgs b ({ "--bench", "--freq", "100" }, known);
    EXPECT_EQ (b.text ("--bench"), "--freq");
    EXPECT_FALSE (b.has ("--freq"));

    const TrBenchArgs c ({ "--param", "a=1", "--param", "b=2", "--bench", "x", "--param" }, known);
    EXPECT_EQ (c.all ("--param"), (juce::StringArray { "a=1", "b=2", "" }));
    EXPECT_EQ (c.integer ("--param", 7), 0);

    const TrBenchArgs d ({ "--freq", "abc", "--level", "12.7x" }, known);
    EXPECT_EQ (d.number ("--freq", 1.0), 0.0);
    EXPECT_EQ (d.integer ("--level", 1), 12);
}
