#include "TrLiveStream.h"

#include <cmath>

void TrLiveStream::reset()
{
    ring.assign (ringSize, 0.0f);
    writePos = 0;
    totalSamples = cpuTicks = cpuSamples = 0;
    curvePower.clear();
    curveCross.clear();
    curveReady = false;
    curveDelay = std::numeric_limits<double>::quiet_NaN();
    dynOutDb.clear();
    dynSeen.clear();
    dynWindowPeak = 0.0f;
    dynWindowCount = 0;
}

void TrLiveStream::write (const float* samples, int count)
{
    for (int i = 0; i < count; ++i)
    {
        ring[static_cast<size_t> (writePos)] = samples[i];
        writePos = (writePos + 1) % ringSize;
    }
    totalSamples += count;
}

bool TrLiveStream::last (int count, int before, std::vector<double>& out) const
{
    if (count < 0 || before < 0 || count + before > ringSize)
        return false;
    out.resize (static_cast<size_t> (count));
    auto index = ((writePos - before - count) % ringSize + ringSize) % ringSize;
    for (int i = 0; i < count; ++i)
    {
        const auto v = ring[static_cast<size_t> (index)];
        if (! std::isfinite (v))
            return false;
        out[static_cast<size_t> (i)] = v;
        index = (index + 1) % ringSize;
    }
    return true;
}
