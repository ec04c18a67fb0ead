#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

/** Runs one offline measurement job at a time on the thread "TESTRIG measurement", exposes its
    progress, lets the window cancel it and hands completion back to the message thread. A job is
    an opaque callable; it leaves its results where its completion handler picks them up. */
class TrMeasurementEngine final : public juce::Thread,
                                  private juce::AsyncUpdater
{
public:
    TrMeasurementEngine();

    /** Asks a running job to stop, waits up to 5 s, and drops a completion still pending. */
    ~TrMeasurementEngine() override;

    /** Starts a job (message thread). False, with job and handler dropped unrun, while another job
        runs. A completion handler may start the next job: the thread that ran the finished job is
        then still closing, and is waited for. A finished job's completion still pending is
        delivered first, so it is never lost, and never runs after the new job was accepted. */
    bool start (std::function<void()> newJob, std::function<void()> newOnDone);

    /** Whether a job is running: the thread is running a job that has not returned. */
    bool isBusy() const noexcept { return busy.load(); }

    /** Fraction done of the running job, 0 at the start of every job. */
    std::atomic<float> progress { 0.0f };

    void run() override;

private:
    void handleAsyncUpdate() override;

    std::function<void()> job, onDone;
    std::atomic<bool> busy { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrMeasurementEngine)
};
