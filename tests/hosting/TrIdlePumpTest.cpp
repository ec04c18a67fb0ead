#include "TrFakePlugin.h"
#include "hosting/TrIdlePump.h"

#include <gtest/gtest.h>

namespace
{
TrTest::FakePlugin& installFake (TrPluginSlot& slot, int blockSize)
{
    slot.prepare (48000.0, blockSize);
    auto fake = std::make_unique<TrTest::FakePlugin>();
    auto& ref = *fake;
    slot.instance = std::move (fake);
    return ref;
}

bool waitFor (const std::function<bool()>& condition)
{
    for (int i = 0; i < 500 && ! condition(); ++i)
        juce::Thread::sleep (10);

    return condition();
}
}

TEST (IdlePump, BlocksNeverExceedTheSlotsPreparedBlockSize)
{
    for (const auto blockSize : { 1, 8, 15, 16, 512 })
    {
        TrSlotManager manager;
        auto& fake = installFake (manager.slot (0), blockSize);
        {
            TrIdlePump pump (manager, nullptr);
            pump.startThread();
            ASSERT_TRUE (waitFor ([&] { return fake.processCalls >= 3; })) << blockSize;
        }
        EXPECT_EQ (fake.largestBlock.load(), blockSize) << blockSize;
        EXPECT_FALSE (fake.heardSound.load());
    }
}

TEST (IdlePump, BothSlotsArePumpedAndAClosedGateStopsIt)
{
    TrSlotManager manager;
    auto& a = installFake (manager.slot (0), 64);
    auto& b = installFake (manager.slot (1), 64);
    std::atomic<bool> open { true };
    std::atomic<int> closedRounds { 0 };

    // Counted by the pump's own rounds rather than by the clock: once the gate has said no, no
    // later round may process.
    TrIdlePump pump (manager, [&] {
        if (open)
            return true;
        ++closedRounds;
        return false;
    });
    pump.startThread();
    ASSERT_TRUE (waitFor ([&] { return a.processCalls >= 2 && b.processCalls >= 2; }));

    open = false;
    ASSERT_TRUE (waitFor ([&] { return closedRounds >= 1; }));
    const int stoppedA = a.processCalls, stoppedB = b.processCalls;
    ASSERT_TRUE (waitFor ([&] { return closedRounds >= 4; }));
    EXPECT_EQ (a.processCalls.load(), stoppedA);
    EXPECT_EQ (b.processCalls.load(), stoppedB);
}

TEST (IdlePump, ABusySlotIsSkippedNotWaitedFor)
{
    TrSlotManager manager;
    auto& a = installFake (manager.slot (0), 64);
    auto& b = installFake (manager.slot (1), 64);

    const juce::ScopedLock busy (manager.slot (0).lock);
    TrIdlePump pump (manager, nullptr);
    pump.startThread();

    ASSERT_TRUE (waitFor ([&] { return b.processCalls >= 5; }));
    EXPECT_EQ (a.processCalls.load(), 0);
}
