#include "TrVerdictExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using TrVerdict::Grade;
using TrTest::expectVerdict;

namespace
{

TrChecksResult honest()
{
    TrChecksResult r;
    r.bypassFound = true;
    r.bypassNullDb = -150.0;
    r.dcSignalDbfs = -200.0;
    r.dcIdleDbfs = -200.0;
    r.selfNoiseDbfs = -200.0;
    return r;
}
}

TEST (DynamicsVerdict, DescribesWithoutJudging)
{
    const struct
    {
        const char* label;
        std::function<void (TrDynamicsResult&)> change;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "ratio 1.05", [] (auto& r) { r.ratio = 1.05; }, { Grade::none, "No compression at these levels - level in equals level out", "" } },
        { "ratio 100", [] (auto& r) { r.ratio = 100.0; r.thresholdDb = -18.0; },
          { Grade::none, "Compresses above -18.0 dB at 100.0:1", "makeup 0.0 dB" } },
        { "ratio 100.1", [] (auto& r) { r.ratio = 100.1; r.thresholdDb = -3.0; r.attackMs = 0.5; r.releaseMs = 50.0; },
          { Grade::none, "Brick-wall limiting above -3.0 dB - nothing gets past", "attack 0.5 ms, release 50 ms" } },
        { "full timing", [] (auto& r) { r.ratio = 4.0; r.thresholdDb = -18.0; r.attackMs = 12.34; r.releaseMs = 120.0; r.makeupDb = 2.0; },
          { Grade::none, "Compresses above -18.0 dB at 4.0:1", "attack 12.3 ms, release 120 ms, makeup 2.0 dB" } },
        { "release only", [] (auto& r) { r.ratio = 2.0; r.releaseMs = 250.0; },
          { Grade::none, "Compresses above 0.0 dB at 2.0:1", "release 250 ms, makeup 0.0 dB" } },
        { "fractional release", [] (auto& r) { r.ratio = 2.0; r.attackMs = 1.0; r.releaseMs = 37.5; },
          { Grade::none, "Compresses above 0.0 dB at 2.0:1", "attack 1.0 ms, release 37.5 ms, makeup 0.0 dB" } },
        { "NaN ratio", [] (auto& r) { r.ratio = NAN; }, { Grade::none, "Compresses above 0.0 dB at nan:1", "makeup 0.0 dB" } },
        { "times below the envelope's resolution", [] (auto& r) { r.ratio = 8.0; r.attackMs = 0.0; r.releaseMs = 0.9; r.timeResolutionMs = 1.0; },
          { Grade::none, "Compresses above 0.0 dB at 8.0:1", "attack < 1.0 ms, release < 1.0 ms, makeup 0.0 dB" } },
        { "times at the resolution", [] (auto& r) { r.ratio = 8.0; r.attackMs = 1.0; r.releaseMs = 1.0; r.timeResolutionMs = 1.0; },
          { Grade::none, "Compresses above 0.0 dB at 8.0:1", "attack 1.0 ms, release 1 ms, makeup 0.0 dB" } },
        { "the same gain everywhere", [] (auto& r) { r.makeupDb = -9.0; },
          { Grade::none, "No compression at these levels - level in equals level out", "but the gain is -9.0 dB throughout" } },
        { "a gate", [] (auto& r) { r.shape = "gate"; r.thresholdDb = -57.75; r.ratio = 0.01; },
          { Grade::none, "Gates below -57.8 dB - quieter input is muted", "" } },
        { "an expander", [] (auto& r) { r.shape = "expander"; r.thresholdDb = -40.0; r.ratio = 0.5; r.makeupDb = 1.0; },
          { Grade::none, "Expands below -40.0 dB at 1:2.0 - quiet parts get quieter", "makeup 1.0 dB" } },
        { "no static curve", [] (auto& r) { r.shape = "irregular"; r.fitErrorDb = 3.1; r.ratio = 1.0; },
          { Grade::none, "Level changes the sound, but not like a compressor - no static curve fits", "the gain wanders 3.1 dB RMS with level" } },
        { "failed", [] (auto& r) { r.error = "plugin has no sidechain input bus"; },
          { Grade::warn, "Measurement failed", "plugin has no sidechain input bus" } },
    };

    for (const auto& c : cases)
    {
        TrDynamicsResult r;
        c.change (r);
        expectVerdict (TrVerdict::forDynamics (r), c.expected, c.label);
    }
}

TEST (PerfVerdict, CostDenormalsAndSpikes)
{
    const struct
    {
        const char* label;
        std::function<void (TrPerfResult&)> change;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "almost nothing", [] (auto& r) { r.percentRealtimeAt512 = 0.35; }, { Grade::good, "Costs almost nothing: 0.35 % of one core", "" } },
        { "light", [] (auto& r) { r.percentRealtimeAt512 = 1.0; }, { Grade::good, "Light on the CPU: 1.00 % of one core", "" } },
        { "moderate", [] (auto& r) { r.percentRealtimeAt512 = 10.0; }, { Grade::ok, "Moderate cost: 10.0 % of one core at 512 samples", "" } },
        { "heavy", [] (auto& r) { r.percentRealtimeAt512 = 40.0; }, { Grade::warn, "Heavy: 40.0 % of one core - a few of these fill a core", "" } },
        { "just under 1 %", [] (auto& r) { r.percentRealtimeAt512 = 0.999; }, { Grade::good, "Costs almost nothing: 1.00 % of one core", "" } },
        { "just under 10 %", [] (auto& r) { r.percentRealtimeAt512 = 9.99; }, { Grade::good, "Light on the CPU: 9.99 % of one core", "" } },
        { "just under 40 %", [] (auto& r) { r.percentRealtimeAt512 = 39.9; }, { Grade::ok, "Moderate cost: 39.9 % of one core at 512 samples", "" } },
        { "denormal 4.0 is judged by cost", [] (auto& r) { r.denormalRatio = 4.0; r.percentRealtimeAt512 = 0.5; },
          { Grade::good, "Costs almost nothing: 0.50 % of one core", "" } },
        { "denormal 4.01", [] (auto& r) { r.denormalRatio = 4.01; r.percentRealtimeAt512 = 60.0; },
          { Grade::bad, "CPU explodes when the audio stops (denormal bug)", "4.0x cost on silence" } },
        { "spike at 48 kHz", [] (auto& r) { r.percentRealtimeAt512 = 0.35; r.worst512BlockMs = 9.0; },
          { Grade::warn, "Costs almost nothing: 0.35 % of one core", "spikes up to 9.00 ms per buffer can crackle" } },
        { "8.53 ms is within the budget", [] (auto& r) { r.percentRealtimeAt512 = 0.35; r.worst512BlockMs = 8.53; },
          { Grade::good, "Costs almost nothing: 0.35 % of one core", "" } },
        { "denormal and spike", [] (auto& r) { r.denormalRatio = 10.0; r.worst512BlockMs = 20.0; },
          { Grade::bad, "CPU explodes when the audio stops (denormal bug)", "10.0x cost on silence; spikes up to 20.00 ms per buffer can crackle" } },
        { "the dearest size is named", [] (auto& r) { r.percentRealtimeAt512 = 2.12; r.worstPercentRealtime = 18.7; r.worstBlockSize = 64; },
          { Grade::ok, "Moderate cost: 18.7 % of one core at 64 samples", "" } },
        { "a small size can make it heavy", [] (auto& r) { r.percentRealtimeAt512 = 0.5; r.worstPercentRealtime = 45.0; r.worstBlockSize = 32; },
          { Grade::warn, "Heavy: 45.0 % of one core at 32 samples - a few of these fill a core", "" } },
        { "99.9 % still runs", [] (auto& r) { r.percentRealtimeAt512 = 99.9; r.worstPercentRealtime = 99.9; r.worstBlockSize = 512; },
          { Grade::warn, "Heavy: 99.9 % of one core - a few of these fill a core", "" } },
        { "100 % cannot run in real time", [] (auto& r) { r.percentRealtimeAt512 = 100.0; r.worstPercentRealtime = 100.0; r.worstBlockSize = 512; },
          { Grade::bad, "Cannot run in real time: 100.0 % of one core - more than a whole core", "" } },
        { "189 % at 32 samples", [] (auto& r) { r.percentRealtimeAt512 = 40.0; r.worstPercentRealtime = 189.0; r.worstBlockSize = 32; },
          { Grade::bad, "Cannot run in real time: 189.0 % of one core at 32 samples - more than a whole core", "" } },
        { "failed", [] (auto& r) { r.error = "aborted"; r.denormalRatio = 50.0; }, { Grade::warn, "Measurement failed", "aborted" } },
    };

    for (const auto& c : cases)
    {
        TrPerfResult r;
        c.change (r);
        expectVerdict (TrVerdict::forPerf (r), c.expected, c.label);
    }
}

TEST (ChecksVerdict, ProblemsAreCollectedInOrder)
{
    const struct
    {
        const char* label;
        std::function<void (TrChecksResult&)> change;
        TrTest::ExpectedVerdict expected;
    } cases[] {
        { "honest", {}, { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "" } },
        { "honest, no bypass", [] (auto& r) { r.bypassFound = false; },
          { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "no bypass parameter exposed to test" } },
        { "one problem without bypass", [] (auto& r) { r.bypassFound = false; r.polarityInverted = true; },
          { Grade::warn, "One problem: flips polarity", "" } },
        { "drifts after audio, measured right", [] (auto& r) { r.reportedLatency = 0; r.reportedLatencyAfter = 512; r.measuredLatency = 512.0; },
          { Grade::warn, "One problem: changes its reported delay after audio starts", "" } },
        { "at search limit, reporting less", [] (auto& r) { r.latencyAtSearchLimit = true; r.measuredLatency = 65535.0; r.reportedLatencyAfter = 65471; r.reportedLatency = 65471; },
          { Grade::warn, "One problem: lies about its delay", "" } },
        { "at search limit, reporting as much", [] (auto& r) { r.latencyAtSearchLimit = true; r.measuredLatency = 65535.0; r.reportedLatencyAfter = 65472; r.reportedLatency = 65472; },
          { Grade::ok, "No problems found, but its delay could not be verified", "it reports 65472 smp, more than the probe can see" } },
        { "no clear response", [] (auto& r) { r.latencyUnclear = true; r.measuredLatency = -1.0; },
          { Grade::ok, "No problems found, but its delay could not be verified", "no clear response to the probe" } },
        { "no clear response is no lie", [] (auto& r) { r.latencyUnclear = true; r.measuredLatency = -1.0; r.reportedLatency = r.reportedLatencyAfter = 200; r.polarityInverted = true; },
          { Grade::warn, "One problem: flips polarity", "cannot verify its delay: no clear response to the probe" } },
        { "3.0 samples off is fine", [] (auto& r) { r.measuredLatency = 3.0; }, { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "" } },
        { "bypass colors", [] (auto& r) { r.bypassNullDb = -59.9; }, { Grade::warn, "One problem: its bypass still colors the sound", "" } },
        { "bypass at -60 is honest", [] (auto& r) { r.bypassNullDb = -60.0; }, { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "" } },
        { "DC at -60 is none", [] (auto& r) { r.dcSignalDbfs = -60.0; }, { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "" } },
        { "DC at -59.9 with signal", [] (auto& r) { r.dcSignalDbfs = -59.9; }, { Grade::warn, "One problem: adds DC offset", "" } },
        { "noise at -90 is none", [] (auto& r) { r.selfNoiseDbfs = -90.0; }, { Grade::good, "Honest plugin: latency, bypass, polarity, DC and noise all check out", "" } },
        { "3.01 samples off", [] (auto& r) { r.measuredLatency = 3.01; }, { Grade::warn, "One problem: lies about its delay", "" } },
        { "idle DC", [] (auto& r) { r.dcIdleDbfs = -50.0; }, { Grade::warn, "One problem: adds DC offset", "" } },
        { "noise", [] (auto& r) { r.selfNoiseDbfs = -89.0; }, { Grade::warn, "One problem: makes noise on pure silence", "" } },
        { "three", [] (auto& r) { r.measuredLatency = 100.0; r.polarityInverted = true; r.dcSignalDbfs = -40.0; },
          { Grade::bad, "3 problems: lies about its delay, flips polarity, adds DC offset", "" } },
        { "failed", [] (auto& r) { r.error = "aborted"; r.polarityInverted = true; }, { Grade::warn, "Measurement failed", "aborted" } },
    };

    for (const auto& c : cases)
    {
        auto r = honest();
        if (c.change)
            c.change (r);
        expectVerdict (TrVerdict::forChecks (r), c.expected, c.label);
    }
}

TEST (ScopeVerdict, TheCeilingIsAStrictBound)
{
    TrScopeResult r;
    r.inputPeakDb = -6.0;
    r.outputPeakDb = -9.2;
    expectVerdict (TrVerdict::forScope (r), { Grade::none, "Output is -3.2 dB vs input - watch the wave shape while you tweak", "" }, "quiet");

    r.outputPeakDb = -0.1;
    expectVerdict (TrVerdict::forScope (r), { Grade::none, "Output is 5.9 dB vs input - watch the wave shape while you tweak", "" }, "-0.1");

    r.outputPeakDb = -0.09;
    expectVerdict (TrVerdict::forScope (r), { Grade::warn, "Output touches the digital ceiling - flattened tops = clipping", "" }, "clipping");
}
