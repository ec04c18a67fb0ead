#include "TrChildProcess.h"
#include "TrTestPaths.h"
#include "hosting/TrPrivateTemp.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST (PrivateTemp, TheFolderIsOursAloneAndTheFrameworkWritesIntoIt)
{
    const auto parent = juce::File::getSpecialLocation (juce::File::tempDirectory);
    ASSERT_EQ (TrPrivateTemp::open(), "");

    const auto folder = TrPrivateTemp::folder();
    EXPECT_EQ (folder.getParentDirectory(), parent);
    EXPECT_TRUE (folder.getFileName().startsWith ("TESTRIG-")) << folder.getFullPathName();
    EXPECT_NE (folder.getFileName(), "TESTRIG-XXXXXX");

    struct stat info {};
    ASSERT_EQ (stat (folder.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ (info.st_mode & 0777, 0700u) << "no one else may plant a bundle in it";
    EXPECT_EQ (info.st_uid, getuid());

    EXPECT_EQ (juce::File::getSpecialLocation (juce::File::tempDirectory), folder);
    EXPECT_EQ (TrPrivateTemp::open(), "") << "made once";
    EXPECT_EQ (TrPrivateTemp::folder(), folder);
}

TEST (PrivateTemp, EveryRunLeavesTheTemporaryFolderAsItFoundIt)
{
    const auto tmp = juce::File::createTempFile ("").getSiblingFile ("testrig-tmpdir-" + juce::String (juce::Random().nextInt (1 << 30)));
    ASSERT_TRUE (tmp.createDirectory());
    const auto home = tmp.getSiblingFile (tmp.getFileName() + "-home");
    ASSERT_TRUE (home.createDirectory());

    const struct
    {
        const char* label;
        juce::StringArray args;
    } runs[] {
        { "an LV2 bundle outside the default folders", { "--list-params", juce::File (TESTRIG_FIXTURES_DIR).getChildFile ("TestrigLv2Wire.lv2").getFullPathName() } },
        { "a measurement", { "--bench-checks", TrTest::fixture ("TestrigFixture").getFullPathName() } },
        { "a failed load", { "--list-params", "/nonexistent/Nothing.lv2" } },
        { "a plugin that crashes", { "--list-params", TrTest::fixture ("TestrigCrashOnLoad").getFullPathName() } },
        { "a plugin that calls exit()", { "--bench", TrTest::fixture ("TestrigFixture").getFullPathName(), "--param",
                                          "Mode=" + juce::String (TrTest::fixtureMode ("Exit"), 9) } },
    };

    for (const auto& r : runs)
    {
        TrTest::runChild (TrTest::testrigExecutable(), r.args, 120.0, { "TMPDIR", "HOME" }, { "TMPDIR=" + tmp.getFullPathName(), "HOME=" + home.getFullPathName() });
        EXPECT_EQ (tmp.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0) << r.label;
        // Headless runs start no desktop helper that would write settings into the home folder.
        EXPECT_EQ (home.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0) << r.label;
    }

    tmp.deleteRecursively();
    home.deleteRecursively();
}

TEST (PrivateTemp, ATemporaryFolderThatCannotBeUsedIsAnError)
{
    const struct
    {
        juce::String tmpdir;
        juce::String printed;
    } cases[] {
        { "", "error: TMPDIR is set but empty - point it at a writable folder or unset it\n" },
        { "/nonexistent/tmp", "error: cannot make a private temporary folder in /nonexistent/tmp: No such file or directory - point TMPDIR at a writable folder\n" },
    };

    for (const auto& c : cases)
    {
        const auto r = TrTest::runChild (TrTest::testrigExecutable(), { "--bench-checks", TrTest::fixture ("TestrigFixture").getFullPathName() },
                                         60.0, { "TMPDIR" }, { "TMPDIR=" + c.tmpdir });
        EXPECT_EQ (r.exitStatus, 1) << c.tmpdir;
        EXPECT_EQ (r.output, c.printed);
    }

    EXPECT_EQ (TrTest::runChild (TrTest::testrigExecutable(), { "--version" }, 60.0, { "TMPDIR" }, { "TMPDIR=" }).exitStatus, 0)
        << "help and version host nothing";
}
