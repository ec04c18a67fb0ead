#include "TrFixtureSlot.h"
#include "analyzers/TrChecksAnalyzer.h"
#include "analyzers/TrDynamicsAnalyzer.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "analyzers/TrNullAnalyzer.h"
#include "analyzers/TrPerfAnalyzer.h"
#include "results/TrErrorTexts.h"

#include <gtest/gtest.h>

// Output no measurement can be read from is refused by every analyzer with its error, never
// turned into figures: silence (a flat -180 dB curve, "brick-wall limiting", a null of +156 dB)
// or levels no converter could carry.

namespace
{
using Measure = std::function<juce::String (TrPluginSlot&)>;

juce::String nullAgainstAWire (TrPluginSlot& slot)
{
    TrSlotManager other;
    auto& wire = other.slot (1);
    if (const auto error = TrTest::loadFixture (wire); error.isNotEmpty())
        return error;
    return TrNullAnalyzer::run (slot, wire, {}, nullptr, {}).error;
}

const struct
{
    const char* analyzer;
    Measure measure;
    juce::String silent;
} analyzers[] {
    { "harmonics", [] (auto& s) { return TrHarmonicsAnalyzer::run (s, {}, nullptr, {}).error; },
      "output fundamental below -100 dB re stimulus (silent or gated output?)" },
    { "IMD", [] (auto& s) { return TrHarmonicsAnalyzer::runImd (s, {}, nullptr, {}).error; },
      "output tones below -100 dB re stimulus (silent or gated output?)" },
    { "response", [] (auto& s) { return TrFreqResponseAnalyzer::run (s, {}, nullptr, {}).error; }, TrErrorText::silentOutput },
    { "dynamics", [] (auto& s) { return TrDynamicsAnalyzer::run (s, {}, nullptr, {}).error; }, TrErrorText::silentOutput },
    { "checks", [] (auto& s) { return TrChecksAnalyzer::run (s, {}, nullptr, {}).error; }, TrErrorText::silentOutput },
    { "null test", nullAgainstAWire, "A puts out silence (below -100 dB re the signal) - there is nothing to compare" },
};
}

TEST (OutputRefusal, EveryAnalyzerRefusesSilenceAndImplausibleLevels)
{
    for (const auto& a : analyzers)
    {
        for (const auto* mode : { "Mode=Mute", "Mode=Hot" })
        {
            TrSlotManager manager;
            auto& slot = manager.slot (0);
            ASSERT_EQ (TrTest::loadFixture (slot, { mode }), "");
            const auto expected = juce::String (mode) == "Mode=Mute" ? a.silent : TrErrorText::implausible;
            EXPECT_EQ (a.measure (slot), expected) << a.analyzer << ", " << mode;
        }
    }
}

TEST (OutputRefusal, ProcessingCostRefusesImplausibleLevels)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    ASSERT_EQ (TrTest::loadFixture (slot, { "Mode=Hot" }), "");

    TrPerfAnalyzer::Params params;
    params.seconds = 0.25;
    params.blockSizes = { 512 };
    EXPECT_EQ (TrPerfAnalyzer::run (slot, params, nullptr, {}).error, TrErrorText::implausible);
}
