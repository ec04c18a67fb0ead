#include "TrMeasurementEngine.h"

#include "hosting/TrMessageThread.h"

TrMeasurementEngine::TrMeasurementEngine()
    : juce::Thread ("TESTRIG measurement")
{
}

TrMeasurementEngine::~TrMeasurementEngine()
{
    signalThreadShouldExit();
    // The job may be waiting for a plugin call on this thread.
    for (int waited = 0; waited < 5000 && ! waitForThreadToExit (5); waited += 5)
        TrMessageThread::serve();
    cancelPendingUpdate();
}

bool TrMeasurementEngine::start (std::function<void()> newJob, std::function<void()> newOnDone)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (busy.load())
        return false;

    // The job has returned; its thread only has its epilogue left (a handler starting the next job
    // gets here while that thread is still closing).
    if (! waitForThreadToExit (1000))
        return false;

    // Delivered now rather than thrown away: the user restarted just after the job finished. That
    // handler may itself have started a job, which then stands.
    handleUpdateNowIfNeeded();
    if (busy.load())
        return false;

    job = std::move (newJob);
    onDone = std::move (newOnDone);
    progress = 0.0f;
    busy = true;
    if (startThread (juce::Thread::Priority::highest))
        return true;

    busy = false;
    return false;
}

void TrMeasurementEngine::run()
{
    if (job != nullptr)
        job();

    const auto cancelled = threadShouldExit();
    busy = false;
    if (! cancelled)
        triggerAsyncUpdate();
}

void TrMeasurementEngine::handleAsyncUpdate()
{
    if (onDone != nullptr)
        onDone();
}
