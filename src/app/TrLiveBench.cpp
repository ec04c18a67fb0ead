#include "TrLiveBench.h"

#include "TrBenchRun.h"
#include "analyzers/TrFreqResponseAnalyzer.h"
#include "analyzers/TrParamChecks.h"
#include "engines/TrLiveEngine.h"
#include "export/TrFileWrite.h"
#include "results/TrNumberFormat.h"

#include <cmath>

namespace
{
using TrNumberFormat::fixed;
using TrNumberFormat::plain;

constexpr double tableHz[] { 30.0, 100.0, 300.0, 1000.0, 3000.0, 10000.0, 20000.0 };

size_t nearestIndex (const std::vector<float>& freqHz, double hz)
{
    size_t best = 0;
    for (size_t i = 1; i < freqHz.size(); ++i)
        if (std::abs (freqHz[i] - hz) < std::abs (freqHz[best] - hz))
            best = i;
    return best;
}

juce::String liveReport (const TrCurveResult& r)
{
    juce::String out;
    out << "plugin:      " << r.pluginName << " (live multisine)\n"
        << "level:       " << plain (r.levelDb) << " dBFS peak @ " << plain (r.sampleRate) << " Hz\n"
        << "gain @ 1k:   " << fixed (r.gainAt1kDb, 2) << " dB\n"
        << "latency:     reported " << r.reportedLatency << " smp, live-measured " << fixed (r.measuredLatency, 1)
        << " smp (whole excitation periods of " << TrLiveStimulus::Multisine::period << " smp as reported)\n"
        << "curve (Hz, dB, deg):\n";
    for (auto hz : tableHz)
    {
        const auto k = nearestIndex (r.freqHz, hz);
        out << "  " << juce::String (static_cast<int> (hz)) << "  " << fixed (r.magDb[k], 2) << "  " << fixed (r.phaseDeg[k], 1) << "\n";
    }
    return out;
}

/** Streams the plugin in slot A for the given time and keeps the last live curve it published. */
std::vector<TrCurveResult> liveSnapshot (TrSlotManager& manager, double sampleRate, double levelDb, double seconds)
{
    auto& slot = manager.slot (0);
    {
        // As in the window: the plugin plays in real time.
        const juce::ScopedLock sl (slot.lock);
        slot.instance->setNonRealtime (false);
    }

    TrLiveEngine engine (manager);
    TrLiveSettings settings;
    settings.mode = TrLiveSettings::Mode::curve;
    settings.levelDb = levelDb;
    settings.sampleRate = sampleRate;
    engine.setSettings (settings);

    // Counted as elapsed time, which survives the millisecond counter's wrap.
    const auto start = juce::Time::getMillisecondCounter();
    const auto duration = static_cast<juce::uint32> (seconds * 1000.0);
    std::vector<TrCurveResult> snapshot;
    while (juce::Time::getMillisecondCounter() - start < duration)
    {
        juce::Thread::sleep (100);
        if (auto latest = engine.curveResults(); ! latest.empty())
            snapshot = std::move (latest);
    }
    engine.setSettings ({});

    const juce::ScopedLock sl (slot.lock);
    slot.instance->setNonRealtime (true);
    return snapshot;
}

juce::String csvText (const TrCurveResult& live, const std::vector<double>& sweepAtLive)
{
    juce::String text ("freqHz,liveDb,sweepDb\r\n");
    for (size_t i = 0; i < live.freqHz.size(); ++i)
        text << fixed (live.freqHz[i], 2) << "," << fixed (live.magDb[i], 4) << ","
             << (std::isfinite (sweepAtLive[i]) ? fixed (sweepAtLive[i], 4) : juce::String()) << "\r\n";
    return text;
}
}

std::vector<double> TrLiveBench::resample (const std::vector<float>& freqHz, const std::vector<float>& db, const std::vector<float>& at)
{
    std::vector<double> out (at.size(), std::nan (""));
    if (freqHz.size() < 2 || db.size() != freqHz.size())
        return out;

    size_t j = 0;
    for (size_t i = 0; i < at.size(); ++i)
    {
        const auto f = static_cast<double> (at[i]);
        if (! (f >= freqHz.front() && f <= freqHz.back()))
            continue;
        while (j + 2 < freqHz.size() && freqHz[j + 1] < f)
            ++j;
        while (j > 0 && freqHz[j] > f)
            --j;
        const auto lo = std::log (static_cast<double> (freqHz[j])), hi = std::log (static_cast<double> (freqHz[j + 1]));
        const auto t = hi > lo ? (std::log (f) - lo) / (hi - lo) : 0.0;
        out[i] = db[j] + t * (static_cast<double> (db[j + 1]) - db[j]);
    }
    return out;
}

double TrLiveBench::jaggedness (const std::vector<float>& freqHz, const std::vector<double>& db)
{
    double sum = 0.0;
    int count = 0;
    for (size_t i = 0; i + 2 < db.size() && i + 1 < freqHz.size(); ++i)
    {
        const auto middle = freqHz[i + 1];
        if (middle < 100.0f || middle > 15000.0f)
            continue;
        const auto c = db[i] - 2.0 * db[i + 1] + db[i + 2];
        if (! std::isfinite (c))
            continue;
        sum += c * c;
        ++count;
    }
    return count > 0 ? std::sqrt (sum / count) : 0.0;
}

int runLiveBenchMode (const juce::StringArray& args)
{
    const auto options = TrBenchRun::readArgs (args, "--bench-live");
    if (! options)
        return 1;

    const auto sampleRate = options->number ("--sr", 48000.0);
    const auto levelDb = options->number ("--level", -12.0);
    const auto seconds = options->number ("--seconds", 4.0);
    const auto problem = TrParamChecks::firstProblem ({ TrParamChecks::sampleRate (sampleRate, "--sr"), TrParamChecks::level (levelDb, "--level"),
                                                        TrParamChecks::liveSeconds (seconds, "--seconds") });
    if (problem.isNotEmpty())
        return TrBenchRun::fail (problem);

    TrSlotManager manager;
    auto& slot = manager.slot (0);
    if (! TrBenchRun::load (slot, options->path(), sampleRate, options->all ("--param")))
        return 1;

    const auto snapshot = liveSnapshot (manager, sampleRate, levelDb, std::max (TrParamChecks::minLiveSeconds, seconds));
    if (snapshot.empty())
        return TrBenchRun::fail ("no live snapshot produced");
    if (snapshot.front().error.isNotEmpty())
        return TrBenchRun::fail (snapshot.front().error);
    const auto& live = snapshot.front();
    TrConsole::print (liveReport (live));

    TrFreqResponseAnalyzer::Params params;
    params.levelDb = -12.0;
    params.sampleRate = sampleRate;
    params.blockSize = TrBenchRun::blockSize;
    params.sweepSeconds = 2.0;
    params.tailSeconds = 1.5;
    params.points = 2048;
    params.repeat = false;
    params.channel = TrChannelMode::left;
    std::atomic<float> progress { 0.0f };
    const auto sweep = TrFreqResponseAnalyzer::run (slot, params, &progress, [] { return false; });

    // Both curves on the live grid, so that they are compared point for point.
    const auto sweepAtLive = sweep.error.isEmpty() ? TrLiveBench::resample (sweep.freqHz, sweep.magDb, live.freqHz)
                                                   : std::vector<double> (live.freqHz.size(), std::nan (""));
    const auto jLive = TrLiveBench::jaggedness (live.freqHz, std::vector<double> (live.magDb.begin(), live.magDb.end()));
    const auto jSweep = sweep.error.isEmpty() ? TrLiveBench::jaggedness (live.freqHz, sweepAtLive) : -1.0;

    juce::String out;
    out << "\njaggedness (RMS 2nd-diff dB, 100 Hz..15 kHz):\n"
        << "  live  = " << fixed (jLive, 4) << " dB\n"
        << "  sweep = " << fixed (jSweep, 4) << " dB" << (jSweep > 0.0 ? "   ratio live/sweep = " + fixed (jLive / jSweep, 1) + "x" : juce::String()) << "\n";
    TrConsole::print (out);

    const juce::File csv (TrLiveBench::csvPath);
    if (TrFileWrite::replaceWithText (csv, csvText (live, sweepAtLive)).failed())
        return TrBenchRun::fail ("could not write " + csv.getFullPathName());
    TrConsole::print ("wrote " + csv.getFullPathName() + "\n");
    return 0;
}
