#include "app/TrBenchArgs.h"

#include <gtest/gtest.h>

namespace
{
TrModeSyntax syntax()
{
    TrModeSyntax s;
    s.flag = "--mode";
    s.numbers = { "--level" };
    s.integers = { "--runs" };
    s.texts = { "--file" };
    s.choices = { { "--vs", { "freq", "level" } } };
    s.repeatable = { "--param" };
    s.switches = { "--sc" };
    return s;
}
}

TEST (BenchArgs, ValuesAreReadInAnyOrderAndALaterOccurrenceWins)
{
    const TrBenchArgs a ({ "--level", "-6", "--mode", "p.vst3", "--sc", "--level", "-12.5", "--runs", "3", "--vs", "level",
                           "--param", "a=1", "--param", "b=0", "--file", "x.wav" },
                         syntax());
    ASSERT_EQ (a.problem(), "");
    EXPECT_EQ (a.path(), "p.vst3");
    EXPECT_EQ (a.number ("--level", 0.0), -12.5);
    EXPECT_EQ (a.integer ("--runs", 1), 3);
    EXPECT_EQ (a.text ("--vs"), "level");
    EXPECT_EQ (a.all ("--param"), (juce::StringArray { "a=1", "b=0" }));
    EXPECT_TRUE (a.has ("--sc"));
    EXPECT_EQ (a.text ("--file"), "x.wav");
    EXPECT_EQ (a.number ("--absent", 48000.0), 48000.0);

    const TrBenchArgs twoPaths ({ "--mode", "a.vst3", "b.vst3" }, [] { auto s = syntax(); s.paths = 2; return s; }());
    EXPECT_EQ (twoPaths.problem(), "");
    EXPECT_EQ (twoPaths.path (1), "b.vst3");

    const TrBenchArgs none ({ "--mode" }, syntax());
    EXPECT_EQ (none.problem(), "");
    EXPECT_EQ (none.path(), "") << "a missing path is the usage line's business, not a problem";
}

TEST (BenchArgs, TheFirstArgumentThatDoesNotFitIsTheProblem)
{
    const struct
    {
        juce::StringArray args;
        const char* problem;
    } cases[] {
        { { "--mode", "p", "--level", "abc" }, "--level must be a number, got abc" },
        { { "--mode", "p", "--level", "12.7x" }, "--level must be a number, got 12.7x" },
        { { "--mode", "p", "--level", "nan" }, "--level must be a number, got nan" },
        { { "--mode", "p", "--level", " 3" }, "--level must be a number, got  3" },
        { { "--mode", "p", "--runs", "2.5" }, "--runs must be a whole number, got 2.5" },
        { { "--mode", "p", "--level" }, "--level needs a value" },
        { { "--mode", "p", "--level", "--runs", "2" }, "--level needs a value, got the option --runs" },
        { { "--mode", "p", "--vs", "time" }, "--vs must be freq or level, got time" },
        { { "--mode", "--level", "3", "p" }, "--mode takes a plugin path first, got the option --level" },
        { { "--mode", "p", "--bogus" }, "unknown option --bogus" },
        { { "--mode", "p", "-x" }, "unknown option -x" },
        { { "--mode", "p", "--freq", "440" }, "--freq is not an option of --mode" },
        { { "--mode", "p", "--bench-curve" }, "--bench-curve is not an option of --mode" },
        { { "--mode", "p", "q.vst3" }, "unexpected argument q.vst3 - the plugin path goes right after --mode" },
        { { "--level", "abc", "--bogus" }, "--level must be a number, got abc" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TrBenchArgs (c.args, syntax()).problem(), c.problem) << c.args.joinIntoString (" ");

    EXPECT_EQ (TrBenchArgs ({ "--mode", "p", "--level", "-6" }, syntax()).problem(), "") << "a negative number is a value";
    EXPECT_EQ (TrBenchArgs ({ "--mode", "p", "--level", "1e-3" }, syntax()).number ("--level", 0.0), 0.001);
}
