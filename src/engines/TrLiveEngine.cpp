#include "TrLiveEngine.h"

#include "analyzers/TrNullSignal.h"
#include "dsp/TrRender.h"
#include "hosting/TrReportedLatency.h"

#include <algorithm>
#include <iostream>

namespace
{
constexpr int framePeriodBlocks = 8;     // a frame every 4096 samples
constexpr int idlePollMs = 50;
constexpr double loopSecondsMax = 60.0;
/** Further behind the clock than this, the stream stops catching up and keeps pace from now. */
constexpr double maxLagSeconds = 0.1;
}

TrLiveEngine::TrLiveEngine (TrSlotManager& slots) : juce::Thread ("TESTRIG live analysis"), slotManager (slots)
{
    startThread();
}

TrLiveEngine::~TrLiveEngine()
{
    signalThreadShouldExit();
    notify();
    stopThread (3000);
}

void TrLiveEngine::setSettings (const TrLiveSettings& settings)
{
    clearResults();
    const juce::ScopedLock sl (paramsLock);
    params = settings;
    if (params.channel == TrChannelMode::stereo)
        params.channel = TrChannelMode::left;
    ++paramsVersion;
    notify();
}

TrLiveSettings TrLiveEngine::getSettings() const
{
    const juce::ScopedLock sl (paramsLock);
    return params;
}

bool TrLiveEngine::isStreaming() const
{
    const juce::ScopedLock sl (paramsLock);
    return params.mode != TrLiveSettings::Mode::off;
}

std::vector<TrHarmonicsResult> TrLiveEngine::harmonicsResults() const
{
    return copyOf (harmonics);
}

std::vector<TrCurveResult> TrLiveEngine::curveResults() const
{
    return copyOf (curves);
}

std::vector<TrDynamicsResult> TrLiveEngine::dynamicsResults() const
{
    return copyOf (dynamicsList);
}

std::vector<TrScopeResult> TrLiveEngine::scopeResults() const
{
    return copyOf (scopes);
}

std::vector<TrNullResult> TrLiveEngine::nullResults() const
{
    return copyOf (nulls);
}

template <typename Record>
std::vector<Record> TrLiveEngine::copyOf (const std::vector<Record>& list) const
{
    const juce::ScopedLock sl (resultsLock);
    return list;
}

void TrLiveEngine::clearResults()
{
    const juce::ScopedLock sl (resultsLock);
    harmonics.clear();
    curves.clear();
    dynamicsList.clear();
    nulls.clear();
    scopes.clear();
}

template <typename Record>
void TrLiveEngine::publish (std::vector<Record>& list, Record record)
{
    {
        const juce::ScopedLock sl (resultsLock);
        list.erase (std::remove_if (list.begin(), list.end(), [&record] (const Record& r) { return r.slotIndex == record.slotIndex; }), list.end());
        list.push_back (std::move (record));
        std::sort (list.begin(), list.end(), [] (const Record& x, const Record& y) { return x.slotIndex < y.slotIndex; });
    }
    ++published;
}

void TrLiveEngine::withdraw (int slot)
{
    const juce::ScopedLock sl (resultsLock);
    const auto other = [slot] (const auto& r) { return r.slotIndex == slot; };
    harmonics.erase (std::remove_if (harmonics.begin(), harmonics.end(), other), harmonics.end());
    curves.erase (std::remove_if (curves.begin(), curves.end(), other), curves.end());
    dynamicsList.erase (std::remove_if (dynamicsList.begin(), dynamicsList.end(), other), dynamicsList.end());
    scopes.erase (std::remove_if (scopes.begin(), scopes.end(), other), scopes.end());
}

void TrLiveEngine::readLoopFile()
{
    const auto key = std::make_pair (applied.filePath, applied.sampleRate);
    if (applied.mode != TrLiveSettings::Mode::nullTest || applied.filePath.isEmpty())
        return;
    if (key == loopKey)
        return;

    loop.clear();
    loopProblem.clear();
    loopKey = key;
    const juce::File file (applied.filePath);
    if (! file.existsAsFile())
    {
        loopProblem = "the file " + file.getFullPathName() + " does not exist";
        return;
    }
    // A failure here must not end the thread: the null test then plays pink noise and says why.
    try
    {
        juce::String name, error;
        if (! TrNullSignal::readFile (file, applied.sampleRate, loopSecondsMax, loop, name, error))
        {
            loop.clear();
            loopProblem = error;
        }
    }
    catch (const std::exception& e)
    {
        loop.clear();
        loopProblem = "reading " + file.getFileName() + " failed: " + e.what();
    }
}

void TrLiveEngine::reset()
{
    harmonicsBin = TrLiveStimulus::harmonicsBin (applied.frequencyHz, applied.sampleRate);
    scopePeriod = TrLiveStimulus::scopePeriod (applied.frequencyHz, applied.sampleRate);
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& s = slotStates[static_cast<size_t> (i)];
        s.stream.reset();
        s.route.reset();
        if (! s.loaded)
            withdraw (i);
    }
    stimulusPosition = 0;
    loopPosition = 0;
    nullMemory = {};

    if (applied.mode == TrLiveSettings::Mode::curve)
    {
        multisine = TrLiveStimulus::Multisine::build (applied.levelDb);
        std::cout << "[TESTRIG] curve live START: window = " << TrLiveStimulus::Multisine::period << " samples ("
                  << TrLiveStimulus::Multisine::period * 1000.0 / std::max (applied.sampleRate, 1.0) << " ms at " << applied.sampleRate << " Hz)"
                  << std::endl;
    }
    readLoopFile();

    if (applied.mode == TrLiveSettings::Mode::off)
        clearResults();
}

void TrLiveEngine::fillNullSignal (float* block, int count)
{
    for (int i = 0; i < count; ++i)
    {
        if (loop.empty())
            block[i] = pink.next();
        else
        {
            block[i] = loop[loopPosition];
            loopPosition = (loopPosition + 1) % loop.size();
        }
    }
}

bool TrLiveEngine::processSlots (const std::vector<float>& stimulus, bool firstBlock)
{
    auto& output = readBack;
    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& state = slotStates[static_cast<size_t> (i)];
        auto& slot = slotManager.slot (i);
        const juce::ScopedTryLock tryLock (slot.lock);
        if (! tryLock.isLocked())
        {
            // Busy elsewhere (an editor, a parameter change, a load): never waited for.
            if (state.stream.totalSamples > 0)
                return false;
            continue;
        }

        // Read under the lock: a load, an unload or a prepare in between changes all of it.
        const auto loaded = slot.instance != nullptr;
        if (loaded != state.loaded || slot.generation != state.generation)
        {
            state.loaded = loaded;
            state.generation = slot.generation;
            // Both streams start again together, so that A and B stay in step; on the first
            // block after a reset they already do.
            if (! firstBlock)
                return false;
            if (! loaded)
                withdraw (i);
        }
        if (! loaded)
            continue;

        auto& plugin = *slot.instance;
        if (state.route == nullptr)
        {
            state.route = std::make_unique<TrChannelRoute> (plugin, applied.channel);
            state.buffer = makeRenderBuffer (plugin, blockSize);
        }
        for (int n = 0; n < blockSize; ++n)
            state.route->write (state.buffer, n, stimulus[static_cast<size_t> (n)]);

        juce::MidiBuffer midi;
        const auto started = juce::Time::getHighResolutionTicks();
        plugin.processBlock (state.buffer, midi);
        state.stream.cpuTicks += juce::Time::getHighResolutionTicks() - started;
        state.stream.cpuSamples += blockSize;
        state.stream.pluginName = slot.description.name;
        state.stream.latency = reportedLatency (plugin);

        for (int n = 0; n < blockSize; ++n)
            output[static_cast<size_t> (n)] = static_cast<float> (state.route->read (state.buffer, n));
        state.stream.write (output.data(), blockSize);
        if (applied.mode == TrLiveSettings::Mode::dynamics)
            TrLiveFrames::trackDynamics (state.stream, output.data(), blockSize, applied);
    }
    return true;
}

void TrLiveEngine::analyseFrame()
{
    if (applied.mode == TrLiveSettings::Mode::nullTest)
    {
        const auto& a = slotStates[0];
        const auto& b = slotStates[1];
        if (! a.loaded || ! b.loaded)
            return;
        if (auto r = TrLiveFrames::null (a.stream, b.stream, applied, ! loop.empty(), nullMemory))
        {
            if (applied.filePath.isNotEmpty() && loop.empty())
                r->signalName << " - " << loopProblem;
            {
                const juce::ScopedLock sl (resultsLock);
                nulls = { std::move (*r) };
            }
            ++published;
        }
        return;
    }

    for (int i = 0; i < TrSlotManager::numSlots; ++i)
    {
        auto& state = slotStates[static_cast<size_t> (i)];
        if (! state.loaded)
            continue;
        switch (applied.mode)
        {
            case TrLiveSettings::Mode::harmonics:
                if (auto r = TrLiveFrames::harmonics (state.stream, i, applied, harmonicsBin))
                    publish (harmonics, std::move (*r));
                break;
            case TrLiveSettings::Mode::curve:
                if (auto r = TrLiveFrames::curve (state.stream, i, applied, multisine))
                    publish (curves, std::move (*r));
                break;
            case TrLiveSettings::Mode::dynamics:
                if (auto r = TrLiveFrames::dynamics (state.stream, i, applied))
                    publish (dynamicsList, std::move (*r));
                break;
            case TrLiveSettings::Mode::scope:
                if (auto r = TrLiveFrames::scope (state.stream, i, applied, scopePeriod))
                    publish (scopes, std::move (*r));
                break;
            case TrLiveSettings::Mode::nullTest:
            case TrLiveSettings::Mode::off:
            default:
                break;
        }
    }
}

void TrLiveEngine::run()
{
    juce::uint64 appliedVersion = 0;
    bool first = true;
    bool restart = false;
    std::vector<float> stimulus (blockSize);
    int blocksSinceFrame = 0;
    bool curveArmed = false;
    double clockStart = 0.0;
    std::int64_t blocksSinceClock = 0;

    while (! threadShouldExit())
    {
        {
            const juce::ScopedLock sl (paramsLock);
            if (first || paramsVersion != appliedVersion)
            {
                applied = params;
                appliedVersion = paramsVersion;
                first = false;
                restart = true;
            }
        }
        if (restart)
        {
            reset();
            restart = false;
            blocksSinceFrame = 0;
            curveArmed = false;
            clockStart = juce::Time::getMillisecondCounterHiRes();
            blocksSinceClock = 0;
        }

        if (applied.mode == TrLiveSettings::Mode::off)
        {
            wait (idlePollMs);
            continue;
        }

        if (applied.mode == TrLiveSettings::Mode::nullTest)
            fillNullSignal (stimulus.data(), blockSize);
        else
            TrLiveStimulus::fill (stimulus.data(), blockSize, stimulusPosition, applied, harmonicsBin, scopePeriod, multisine);
        stimulusPosition += blockSize;

        if (! processSlots (stimulus, stimulusPosition == blockSize))
        {
            restart = true;
            continue;
        }

        if (++blocksSinceFrame >= framePeriodBlocks)
        {
            blocksSinceFrame = 0;
            // A curve frame needs a whole period after the last one to have passed the plugin.
            if (applied.mode == TrLiveSettings::Mode::curve && ! curveArmed)
                curveArmed = true;
            else
            {
                curveArmed = false;
                const auto anyLoaded = std::any_of (slotStates.begin(), slotStates.end(), [] (const SlotState& s) { return s.loaded; });
                if (anyLoaded)
                    analyseFrame();
            }
        }

        // Real time: block k is due at start + k x blockSize / rate, whatever the rate and mode.
        ++blocksSinceClock;
        const auto due = clockStart + 1000.0 * static_cast<double> (blocksSinceClock) * blockSize / applied.sampleRate;
        const auto now = juce::Time::getMillisecondCounterHiRes();
        if (now - due > 1000.0 * maxLagSeconds)
        {
            clockStart = now;
            blocksSinceClock = 0;
        }
        else if (due > now)
            wait (static_cast<int> (std::ceil (due - now)));
    }
}
