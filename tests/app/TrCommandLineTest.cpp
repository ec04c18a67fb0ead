#include "TrChildProcess.h"
#include "TrTestPaths.h"
#include "app/TrModeSyntax.h"

#include <gtest/gtest.h>

namespace
{
juce::String bundle (const juce::String& name)
{
    return TrTest::fixture (name).getFullPathName();
}

juce::String firstLine (const juce::String& output)
{
    return output.upToFirstOccurrenceOf ("\n", false, false);
}
}

TEST (CommandLine, EveryModeWithoutItsPluginPrintsItsUsageLine)
{
    for (const auto& mode : TrModeSyntaxes::all())
    {
        const auto r = TrTest::runTestrig ({ mode.flag });
        EXPECT_EQ (r.exitStatus, 1) << mode.flag;
        EXPECT_TRUE (r.output.startsWith ("usage: TESTRIG " + mode.flag + " <")) << mode.flag << ": " << r.output;
        EXPECT_EQ (r.output, mode.usage + "\n");
    }
}

TEST (CommandLine, AnythingAModeDoesNotTakeIsAnErrorNamingIt)
{
    const auto wire = bundle ("TestrigFixture");
    const struct
    {
        juce::StringArray args;
        juce::String firstLine;
    } cases[] {
        { { "--bench", wire, "--bogus" }, "error: unknown option --bogus" },
        { { "--bench", wire, "--frq", "440" }, "error: unknown option --frq" },
        { { "--bench", wire, "--freq", "abc" }, "error: --freq must be a number, got abc" },
        { { "--bench-thd", wire, "--points", "many" }, "error: --points must be a whole number, got many" },
        { { "--bench-imd", wire, "--imd", "dim" }, "error: --imd must be smpte or ccif, got dim" },
        { { "--bench-curve", wire, "--channel", "centre" }, "error: --channel must be left or right or mid or side, got centre" },
        { { "--bench-checks", "--sr", "44100", wire }, "error: --bench-checks takes a plugin path first, got the option --sr" },
        { { "--bench-checks", wire, "--freq", "440" }, "error: --freq is not an option of --bench-checks" },
        { { "--bench-perf", wire, "--runs", "2" }, "error: --runs is not an option of --bench-perf" },
        { { "--bench-null", wire, wire, "--param", "Gain=0.5" }, "error: --param is not an option of --bench-null" },
        { { "--bench-checkup", wire, "--sr" }, "error: --sr needs a value" },
        { { "--bench", wire, wire }, "error: unexpected argument " + wire + " - the plugin path goes right after --bench" },
        { { "--list-params", wire, "--sr", "48000" }, "error: --sr is not an option of --list-params" },
        // The plugin loads, then its assignments are checked before any is set.
        { { "--bench-checks", wire, "--param", "Gian=0.5" }, "error: --param Gian=0.5: no parameter named Gian (--list-params shows them)" },
        { { "--bench-checks", wire, "--param", "Gain=2" },
          "error: --param Gain=2: the value must be the normalised position from 0 to 1 (--list-params shows each one beside its plain value)" },
        { { "--bench-dyn", wire, "--param", "Gain=loud" },
          "error: --param Gain=loud: the value must be the normalised position from 0 to 1 (--list-params shows each one beside its plain value)" },
        { { "--bench", wire, "--param", "Gain" }, "error: --param Gain: give name=value" },
        { { "--bench-null", wire, wire, "--paramB", "Nothing=1" }, "error: --paramB Nothing=1: no parameter named Nothing (--list-params shows them)" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.firstLine + "\n") << c.args.joinIntoString (" ");
    }
}

TEST (CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    for (const juce::String flag : { "--help", "-h" })
    {
        const auto r = TrTest::runTestrig ({ flag });
        EXPECT_EQ (r.exitStatus, 0) << flag;
        EXPECT_EQ (r.output, TrModeSyntaxes::helpText()) << flag;
        for (const auto& mode : TrModeSyntaxes::all())
            EXPECT_TRUE (r.output.contains ("  " + mode.synopsis + "\n")) << mode.flag;
    }

    // Beside a mode, help answers instead of the measurement.
    EXPECT_EQ (TrTest::runTestrig ({ "--bench", bundle ("TestrigFixture"), "--help" }).output, TrModeSyntaxes::helpText());

    const auto version = TrTest::runTestrig ({ "--version" });
    EXPECT_EQ (version.exitStatus, 0);
    EXPECT_EQ (version.output, "TESTRIG 0.1.0\n");
}

TEST (CommandLine, TheReadmeShowsTheHelpText)
{
    const auto readme = TrTest::sourceRoot().getChildFile ("README.md").loadFileAsString();
    for (const auto& line : juce::StringArray::fromLines (TrModeSyntaxes::helpText().trimEnd()))
        EXPECT_TRUE (readme.contains (line)) << line;
}

TEST (CommandLine, ParametersAreSetInEveryModeBeforeMeasuring)
{
    // The fixture's threshold spans -64..0 dB: 34/64 of the way is -30 dB.
    const auto dyn = TrTest::runTestrig ({ "--bench-dyn", bundle ("TestrigCompressor"), "--runs", "1", "--param", "Threshold=0.53125" });
    ASSERT_EQ (dyn.exitStatus, 0) << dyn.output;
    EXPECT_EQ (firstLine (dyn.output), "set [8] Threshold = -30.0000000");
    EXPECT_TRUE (dyn.output.contains ("\nrun 1:  thresh -30.00 dB  ratio 4.00:1")) << dyn.output;

    // The delay spans 0..131072 samples: 100/131072 of the way is 100 samples, which the checks find.
    const auto checks = TrTest::runTestrig ({ "--bench-checks", bundle ("TestrigFixture"), "--param", "Delay=0.000762939453125" });
    ASSERT_EQ (checks.exitStatus, 0) << checks.output;
    EXPECT_EQ (firstLine (checks.output), "set [3] Delay = 100");
    EXPECT_TRUE (checks.output.contains ("\nlatency:     reported 100 -> 100 smp, measured 100.0 smp\n")) << checks.output;
}

TEST (CommandLine, APluginThatEndsTheProcessIsAFailure)
{
    const auto r = TrTest::runTestrig ({ "--bench", bundle ("TestrigFixture"), "--param",
                                         "Mode=" + juce::String (TrTest::fixtureMode ("Exit"), 9) });
    EXPECT_EQ (r.exitStatus, 1);
    EXPECT_EQ (r.output, "set [0] Mode = Exit\nerror: the plugin ended the process\n");
}
