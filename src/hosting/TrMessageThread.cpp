#include "TrMessageThread.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>

namespace
{
struct Waiting
{
    std::function<void()> fn;
    juce::WaitableEvent done;
};

std::mutex queueMutex;
std::deque<std::shared_ptr<Waiting>> queue;

void runQueued()
{
    for (;;)
    {
        std::shared_ptr<Waiting> next;
        {
            const std::lock_guard<std::mutex> hold (queueMutex);
            if (queue.empty())
                return;
            next = queue.front();
            queue.pop_front();
        }
        next->fn();
        next->done.signal();
    }
}
}

bool TrMessageThread::call (const std::function<void()>& fn)
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    if (mm == nullptr)
        return false;
    if (mm->isThisTheMessageThread())
    {
        fn();
        return true;
    }

    // fn may refer to this thread's locals: it runs before this call returns, or never.
    auto waiting = std::make_shared<Waiting>();
    waiting->fn = fn;
    {
        const std::lock_guard<std::mutex> hold (queueMutex);
        queue.push_back (waiting);
    }
    if (! juce::MessageManager::callAsync (runQueued))
    {
        const std::lock_guard<std::mutex> hold (queueMutex);
        if (const auto it = std::find (queue.begin(), queue.end(), waiting); it != queue.end())
        {
            queue.erase (it);
            return false;
        }
    }
    waiting->done.wait();
    return true;
}

void TrMessageThread::serve()
{
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating(); mm != nullptr && mm->isThisTheMessageThread())
        runQueued();
}
