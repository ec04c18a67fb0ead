#include "export/TrDataExport.h"
#include "export/TrFileWrite.h"

#include "TrFileSizeLimit.h"

#include <gtest/gtest.h>

namespace
{
TrChart::Model model()
{
    TrChart::Model m;
    m.yAxis.label = "dB re fundamental";
    TrChart::Trace a;
    a.name = "A  Alpha, \"the\" clipper";
    a.points = { { 1000.0, -0.0000004 }, { 2000.0, std::nan ("") }, { 12345.6789125, -60.25 } };
    m.traces.push_back (a);
    TrChart::Trace unnamed;
    unnamed.points = { { 1.0, 2.0 } };
    m.traces.push_back (unnamed);
    return m;
}

std::vector<ReadoutRow> rows()
{
    ReadoutRow r;
    r.slot = 0;
    r.chips = { { "THD", "0.250 %" }, { "THD", "-52.0 dB" }, { "ALIAS", "-40.0 dB", 3, "audible" }, { "POLARITY", "INVERTED", 4, "" },
                { "THD+N @ 1 kHz", "x" }, { "", "Identical" }, { "DC", "-200.0 dB", 0, "floor" } };
    ReadoutRow failed;
    failed.slot = 1;
    failed.error = "aborted";
    return { r, failed };
}

juce::File temporaryFolder()
{
    auto f = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("testrig-export", "");
    f.createDirectory();
    return f;
}
}

TEST (DataExport, JsonCarriesEveryPartInOrderWithDistinctKeysAndNullForNonNumbers)
{
    const std::vector<TrVerdict::SlotVerdict> verdicts { { -1, { TrVerdict::Grade::warn, "Audibly different", "" } } };
    const auto text = TrDataExport::jsonText (model(), rows(), verdicts, "HARMONICS", "48 kHz - left ch");
    EXPECT_TRUE (text.contains ("\r\n"));

    const auto doc = juce::JSON::parse (text);
    auto* root = doc.getDynamicObject();
    ASSERT_NE (root, nullptr);
    juce::StringArray keys;
    for (const auto& p : root->getProperties())
        keys.add (p.name.toString());
    EXPECT_EQ (keys.joinIntoString (","), "tool,analyzer,settings,xAxis,yAxis,traces,metrics,verdicts");
    EXPECT_EQ (doc["tool"].toString(), "TESTRIG");
    EXPECT_EQ (doc["yAxis"].toString(), "dB re fundamental");

    const auto& trace = doc["traces"][0];
    EXPECT_EQ (trace["label"].toString(), "A  Alpha, \"the\" clipper");
    EXPECT_TRUE (trace["y"][1].isVoid()) << "NaN is written as null";
    EXPECT_DOUBLE_EQ (static_cast<double> (trace["x"][2]), 12345.6789125);

    const auto& metric = doc["metrics"][0];
    keys.clear();
    for (const auto& p : metric.getDynamicObject()->getProperties())
        keys.add (p.name.toString());
    EXPECT_EQ (keys.joinIntoString (","), "slot,thd,thd_2,alias,alias_flag,polarity,polarity_flag,thd+n___1_khz,dc,dc_flag");
    EXPECT_EQ (metric["thd"].toString(), "0.250 %") << "the percentage survives";
    EXPECT_EQ (metric["thd_2"].toString(), "-52.0 dB");
    EXPECT_EQ (metric["polarity_flag"].toString(), "problem");
    EXPECT_EQ (metric["dc_flag"].toString(), "floor") << "information flags are written too";
    EXPECT_EQ (doc["metrics"][1]["error"].toString(), "aborted");

    EXPECT_EQ (static_cast<int> (doc["verdicts"][0]["slot"]), -1);
    EXPECT_EQ (doc["verdicts"][0]["grade"].toString(), "warn");
    EXPECT_FALSE (doc["verdicts"][0].getDynamicObject()->hasProperty ("detail"));
}

TEST (DataExport, CsvHasOneQuotedSafeLinePerPointWithSixDecimals)
{
    const auto lines = juce::StringArray::fromTokens (TrDataExport::csvText (model()), "\n", "");
    ASSERT_EQ (lines.size(), 6) << "header, four points, and the empty rest after the last line end";
    EXPECT_EQ (lines[0], "trace,x,y\r");
    EXPECT_EQ (lines[1], "\"A  Alpha, \"\"the\"\" clipper\",1000.000000,-0.000000\r");
    EXPECT_EQ (lines[2], "\"A  Alpha, \"\"the\"\" clipper\",2000.000000,nan\r");
    EXPECT_EQ (lines[3], "\"A  Alpha, \"\"the\"\" clipper\",12345.678913,-60.250000\r");
    EXPECT_EQ (lines[4], "trace,1.000000,2.000000\r");

    EXPECT_EQ (TrDataExport::csvText (TrChart::Model()), "trace,x,y\r\n");
}

TEST (DataExport, WritesCreateTheFolderAndAFullDiskLeavesTheOldFileAlone)
{
    const auto folder = temporaryFolder();
    const auto target = folder.getChildFile ("deeper/data.json");
    EXPECT_EQ (TrDataExport::exportCsv (model(), target), target);
    EXPECT_TRUE (target.loadFileAsString().startsWith ("trace,x,y"));

    // A file size limit stands in for a full disk: the write fails, SIGXFSZ ignored.
    const auto old = target.loadFileAsString();
    auto result = juce::Result::ok();
    ASSERT_TRUE (TrTest::withFileSizeLimit (64, [&] { result = TrFileWrite::replaceWithText (target, juce::String::repeatedString ("0123456789", 1000)); }));

    EXPECT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().startsWith ("Could not write " + target.getFullPathName())) << result.getErrorMessage();
    EXPECT_EQ (target.loadFileAsString(), old);
    EXPECT_EQ (target.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*"), 1);
    EXPECT_EQ (target.getParentDirectory().findChildFiles (juce::File::findFiles, false, ".*").size(), 0) << "no temporary file left";

    // An unwritable place is reported, not claimed.
    EXPECT_EQ (TrDataExport::exportCsv (model(), juce::File ("/proc/testrig/data.csv")), juce::File());
    folder.deleteRecursively();
}
