#include "TrChildProcess.h"
#include "TrTestPaths.h"

#include <gtest/gtest.h>

namespace
{
const juce::String fixtureLines = "[0]  Mode  =  Wire   (norm 0.000)\n"
                                  "[1]  Gain  =  0.0000000   (norm 0.500)\n"
                                  "[2]  Drive  =  1.0000000   (norm 0.062)\n"
                                  "[3]  Delay  =  0   (norm 0.000)\n"
                                  "[4]  Latency report  =  Honest   (norm 0.000)\n"
                                  "[5]  Latency offset  =  0   (norm 0.500)\n"
                                  "[6]  Poly a  =  0.0000000   (norm 0.500)\n"
                                  "[7]  Poly b  =  0.0000000   (norm 0.500)\n"
                                  "[8]  Threshold  =  -20.0000000   (norm 0.688)\n"
                                  "[9]  Ratio  =  4.0000000   (norm 0.188)\n"
                                  "[10]  Knee  =  0.0000000   (norm 0.000)\n"
                                  "[11]  Makeup  =  0.0000000   (norm 0.500)\n"
                                  "[12]  Attack  =  20.0000000   (norm 0.078)\n"
                                  "[13]  Release  =  128.0000000   (norm 0.016)\n"
                                  "[14]  Ignores reset  =  Off   (norm 0.000)\n"
                                  "[15]  Bypass colours  =  Off   (norm 0.000)\n"
                                  "[16]  Invert output  =  Off   (norm 0.000)\n"
                                  "[17]  Crash on unload  =  Off   (norm 0.000)\n"
                                  "[18]  Bypass  =  Off   (norm 0.000)\n";

}

TEST (ListParams, AFixturePrintsEveryParameterLine)
{
    const auto r = TrTest::runTestrig ({ "--list-params", TrTest::fixture ("TestrigFixture").getFullPathName() });
    EXPECT_EQ (r.exitStatus, 0);
    EXPECT_EQ (r.output, fixtureLines);
}

TEST (ListParams, TheLastFlagWithAPathWinsAndTheFlagMayStandAnywhere)
{
    const auto fixture = TrTest::fixture ("TestrigFixture").getFullPathName();
    const auto refused = TrTest::fixture ("TestrigNoInput").getFullPathName();

    const auto r = TrTest::runTestrig ({ "--list-params", refused, "--list-params", fixture, "--list-params" });
    EXPECT_EQ (r.exitStatus, 0);
    EXPECT_EQ (r.output, fixtureLines);
}

TEST (ListParams, LoadFailuresPrintTheirErrorAndExitOne)
{
    const auto missing = juce::File ("/nonexistent/Nothing.vst3").getFullPathName();

    // An LV2 bundle whose binary is gone: the error says what the loader found.
    const auto folder = juce::File::createTempFile ("");
    const auto broken = folder.getChildFile ("TestrigLv2Wire.lv2");
    ASSERT_TRUE (broken.createDirectory());
    for (const auto* name : { "manifest.ttl", "TestrigLv2Wire.ttl" })
        ASSERT_TRUE (juce::File (TESTRIG_FIXTURES_DIR).getChildFile ("TestrigLv2Wire.lv2").getChildFile (name).copyFileTo (broken.getChildFile (name)));
    const auto binary = broken.getChildFile ("TestrigLv2Wire.so").getFullPathName();

    const struct
    {
        juce::StringArray args;
        juce::String printed;
    } cases[] {
        { { "--list-params" }, "usage: TESTRIG --list-params <path>\n" },
        { { "--list-params", missing }, "error: File not found: " + missing + "\n" },
        { { "--list-params", TrTest::fixture ("TestrigNoInput").getFullPathName() },
          "error: TESTRIG Fixture has no audio input (0 in / 2 out) - there is nothing to send a test signal into\n" },
        { { "--list-params", broken.getFullPathName() },
          "error: Plugin was located, but could not be opened: " + binary + ": cannot open shared object file: No such file or directory\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runTestrig (c.args);
        EXPECT_EQ (r.exitStatus, 1) << c.args.joinIntoString (" ");
        EXPECT_EQ (r.output, c.printed);
    }

    folder.deleteRecursively();
}

TEST (ListParams, RealPluginsListTheirParametersByVst3PathLv2PathAndUri)
{
    const juce::String compressorNames[] { "Attack", "Release", "Knee", "Ratio", "Threshold", "Makeup" };

    for (const juce::String plugin : { "/usr/lib/vst3/ZamCompX2.vst3", "/usr/lib/lv2/ZamCompX2.lv2", "urn:zamaudio:ZamCompX2" })
    {
        const auto r = TrTest::runTestrigOnThirdPartyPlugin ({ "--list-params", plugin });
        ASSERT_EQ (r.exitStatus, 0) << plugin << "\n" << r.output;

        const auto lines = juce::StringArray::fromLines (r.output.trimEnd());
        for (int i = 0; i < lines.size(); ++i)
        {
            const auto prefix = "[" + juce::String (i) + "]  ";
            EXPECT_TRUE (lines[i].startsWith (prefix)) << plugin << ": " << lines[i];
            EXPECT_TRUE (lines[i].contains ("  =  ")) << lines[i];

            const auto norm = lines[i].fromLastOccurrenceOf ("   (norm ", false, false);
            EXPECT_TRUE (norm.endsWith (")") && norm.upToFirstOccurrenceOf (".", false, false).length() == 1
                         && norm.fromFirstOccurrenceOf (".", false, false).length() == 4)
                << "three decimals: " << lines[i];
        }

        for (const auto& name : compressorNames)
            EXPECT_TRUE (r.output.contains ("]  " + name + "  =  ")) << plugin << " lacks " << name;
    }
}

TEST (ListParams, AnLv2BundleOutsideTheDefaultFoldersLists)
{
    const auto bundle = juce::File (TESTRIG_FIXTURES_DIR).getChildFile ("TestrigLv2Wire.lv2");
    const auto r = TrTest::runTestrig ({ "--list-params", bundle.getFullPathName() });

    EXPECT_EQ (r.exitStatus, 0);
    EXPECT_TRUE (r.output.contains ("  Gain  =  ")) << r.output;
}
