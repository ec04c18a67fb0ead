#pragma once

#include "TrLiveFrames.h"
#include "hosting/TrSlotManager.h"

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>

/** LIVE: streams a test signal through each loaded plugin block by block at real-time pace, keeps
    the latest stretch of each output, and several times a second turns it into a fresh result of
    the kind the active tab shows. Results are published per kind under a lock, for the window's
    timer to copy. The thread never waits for a plugin: one busy elsewhere, swapped or prepared
    again restarts the analysis. */
class TrLiveEngine final : public juce::Thread
{
public:
    /** Starts the thread "TESTRIG live analysis"; with the mode off it only polls. */
    explicit TrLiveEngine (TrSlotManager& slots);

    /** Stops the thread, waiting up to 3 s. */
    ~TrLiveEngine() override;

    /** Hands new settings to the thread and wakes it. What was published is dropped, so that
        nothing measured with the old settings is shown as live. */
    void setSettings (const TrLiveSettings& settings);
    TrLiveSettings getSettings() const;

    /** Whether the settings ask for a stream (any mode but off); any thread. */
    bool isStreaming() const;

    /** Copies of the published lists; per-slot lists hold one entry per slot, A first. */
    std::vector<TrHarmonicsResult> harmonicsResults() const;
    std::vector<TrCurveResult> curveResults() const;
    std::vector<TrDynamicsResult> dynamicsResults() const;
    std::vector<TrScopeResult> scopeResults() const;
    /** At most one entry. */
    std::vector<TrNullResult> nullResults() const;

    /** How many frames have been published since the engine started; for pacing checks. */
    int framesPublished() const noexcept { return published.load(); }

    /** Stream blocks of this many samples. */
    static constexpr int blockSize = 512;

    void run() override;

private:
    struct SlotState
    {
        TrLiveStream stream;
        juce::uint64 generation = 0;
        bool loaded = false;
        int channels = 0;
        juce::AudioBuffer<float> buffer;
        std::unique_ptr<TrChannelRoute> route;
    };

    void reset();
    /** Streams the block through every slot; false when the analysis must start again. */
    bool processSlots (const std::vector<float>& stimulus, bool firstBlock);
    void analyseFrame();
    void withdraw (int slot);
    void fillNullSignal (float* block, int count);
    void readLoopFile();

    template <typename Record>
    void publish (std::vector<Record>& list, Record record);
    template <typename Record>
    std::vector<Record> copyOf (const std::vector<Record>& list) const;
    void clearResults();

    TrSlotManager& slotManager;

    mutable juce::CriticalSection paramsLock;
    TrLiveSettings params;
    juce::uint64 paramsVersion = 0;

    mutable juce::CriticalSection resultsLock;
    std::vector<TrHarmonicsResult> harmonics;
    std::vector<TrCurveResult> curves;
    std::vector<TrDynamicsResult> dynamicsList;
    std::vector<TrNullResult> nulls;
    std::vector<TrScopeResult> scopes;
    std::atomic<int> published { 0 };

    // The engine thread's own.
    TrLiveSettings applied;
    std::array<SlotState, TrSlotManager::numSlots> slotStates;
    std::vector<float> readBack = std::vector<float> (blockSize);
    std::int64_t stimulusPosition = 0;
    int harmonicsBin = 1, scopePeriod = 4;
    TrLiveStimulus::Multisine multisine;
    TrLiveStimulus::PinkNoise pink;
    /** The decoded loop file, kept for its path and rate: a restart does not decode it again. */
    std::vector<float> loop;
    std::pair<juce::String, double> loopKey;
    juce::String loopProblem;
    size_t loopPosition = 0;
    TrLiveFrames::NullMemory nullMemory;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrLiveEngine)
};
