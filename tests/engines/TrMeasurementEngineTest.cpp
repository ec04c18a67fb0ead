#include "TrFakePlugin.h"
#include "TrMessagePump.h"
#include "analyzers/TrHarmonicsAnalyzer.h"
#include "engines/TrMeasurementEngine.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

namespace
{
using TrTest::pumpMessages;
using TrTest::pumpUntil;

/** A job that runs until released or cancelled. */
struct Gate
{
    std::atomic<bool> open { false };

    std::function<void()> jobFor (TrMeasurementEngine& engine, std::atomic<int>& ran)
    {
        return [this, &engine, &ran] {
            ++ran;
            while (! open && ! engine.threadShouldExit())
                juce::Thread::sleep (1);
        };
    }
};
}

TEST (MeasurementEngine, ASecondStartWhileBusyIsRefusedAndLeavesTheFirstJobAlone)
{
    TrMeasurementEngine engine;
    Gate gate;
    std::atomic<int> firstRan { 0 }, secondRan { 0 };
    int firstDone = 0, secondDone = 0;

    ASSERT_TRUE (engine.start (gate.jobFor (engine, firstRan), [&] { ++firstDone; }));
    EXPECT_TRUE (engine.isBusy());
    EXPECT_FALSE (engine.start ([&] { ++secondRan; }, [&] { ++secondDone; }));

    gate.open = true;
    ASSERT_TRUE (pumpUntil (5000, [&] { return firstDone == 1; }));
    pumpMessages (50);
    EXPECT_EQ (firstRan.load(), 1);
    EXPECT_EQ (secondRan.load(), 0);
    EXPECT_EQ (secondDone, 0);
    EXPECT_EQ (firstDone, 1) << "exactly once";
}

TEST (MeasurementEngine, ACancelledJobCompletesNothingAndTheNextStartsFromZero)
{
    // A real analyzer on a plugin that takes 2 ms per block: it sees the cancel through its abort test.
    TrSlotManager slots;
    auto& slot = slots.slot (0);
    auto fake = std::make_unique<TrTest::FakePlugin>();
    fake->onProcess = [] (juce::AudioBuffer<float>&) { juce::Thread::sleep (2); };
    preparePlugin (*fake, 48000.0, 512);
    slot.instance = std::move (fake);

    TrMeasurementEngine engine;
    int done = 0;
    TrHarmonicsResult result;
    const auto job = [&] {
        result = TrHarmonicsAnalyzer::run (slot, {}, &engine.progress, [&engine] { return engine.threadShouldExit(); });
    };
    ASSERT_TRUE (engine.start (job, [&] { ++done; }));
    ASSERT_TRUE (pumpUntil (5000, [&] { return engine.progress.load() > 0.0f; }));

    engine.signalThreadShouldExit();
    ASSERT_TRUE (pumpUntil (5000, [&] { return ! engine.isBusy(); }));
    pumpMessages (100);
    EXPECT_EQ (done, 0) << "a cancelled job has no completion";
    EXPECT_EQ (result.error, "aborted");

    ASSERT_TRUE (engine.start ([] {}, [&] { ++done; }));
    EXPECT_EQ (engine.progress.load(), 0.0f);
    ASSERT_TRUE (pumpUntil (5000, [&] { return done == 1; }));
}

TEST (MeasurementEngine, CompletionRunsOnTheMessageThreadAlsoForAnEmptyJob)
{
    TrMeasurementEngine engine;
    bool onMessageThread = false;
    int done = 0;
    ASSERT_TRUE (engine.start ({}, [&] {
        onMessageThread = juce::MessageManager::getInstance()->isThisTheMessageThread();
        ++done;
    }));
    ASSERT_TRUE (pumpUntil (5000, [&] { return done == 1; }));
    EXPECT_TRUE (onMessageThread);
}

TEST (MeasurementEngine, ACompletionThatStartsTheNextJobIsNeverDropped)
{
    TrMeasurementEngine engine;
    std::atomic<int> ran { 0 };
    int done = 0;
    std::function<void()> next = [&] {
        ++done;
        if (done < 200)
        {
            EXPECT_TRUE (engine.start ([&ran] { ++ran; }, next)) << "start " << done;
        }
    };
    ASSERT_TRUE (engine.start ([&ran] { ++ran; }, next));
    ASSERT_TRUE (pumpUntil (30000, [&] { return done == 200; })) << done;
    EXPECT_EQ (ran.load(), 200);
}

TEST (MeasurementEngine, ARestartRightAfterAJobFinishedDeliversThatJobsCompletionFirst)
{
    TrMeasurementEngine engine;
    // Written by the job's thread and the message thread in turn, read by the test meanwhile.
    juce::CriticalSection orderLock;
    juce::StringArray order;
    const auto note = [&] (const char* what) {
        const juce::ScopedLock sl (orderLock);
        order.add (what);
    };
    const auto noted = [&] {
        const juce::ScopedLock sl (orderLock);
        return order;
    };
    std::atomic<bool> finished { false };
    ASSERT_TRUE (engine.start ([&finished] { finished = true; }, [&] { note ("first done"); }));

    // The job has ended; its completion is posted but not yet dispatched when the user restarts.
    while (! finished || engine.isBusy())
        juce::Thread::sleep (1);
    ASSERT_TRUE (engine.start ([&] { note ("second ran"); }, [&] { note ("second done"); }));
    ASSERT_TRUE (pumpUntil (5000, [&] { return noted().size() == 3; }));
    EXPECT_EQ (noted().joinIntoString (", "), "first done, second ran, second done");
}

TEST (MeasurementEngine, DestroyingItStopsTheJobAndNoCompletionRunsAfterwards)
{
    int done = 0;
    std::atomic<bool> stopped { false };
    {
        TrMeasurementEngine engine;
        ASSERT_TRUE (engine.start (
            [&engine, &stopped] {
                while (! engine.threadShouldExit())
                    juce::Thread::sleep (1);
                stopped = true;
            },
            [&done] { ++done; }));
        pumpMessages (50);
    }
    EXPECT_TRUE (stopped.load());
    pumpMessages (100);
    EXPECT_EQ (done, 0);
}
