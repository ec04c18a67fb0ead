#include "TrLoudness.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
constexpr size_t chunkSize = 1024;
constexpr size_t gatingSubBlocks = 4;
constexpr size_t maxGatedBlocks = 144000;
constexpr size_t trimmedGatedBlocks = 36000;
constexpr double absoluteGateLufs = -70.0;
constexpr double silenceLufs = -100.0;
constexpr double loudnessOffset = -0.691;

struct Biquad
{
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;

    double process (double x) noexcept
    {
        const auto y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The K-weighting filters, from the standard's analog prototypes by the bilinear transform at
// the actual sample rate.
Biquad highShelf (double sampleRate)
{
    const auto k = std::tan (5284.078578647624 / sampleRate); // pi * 1681.974450955532 Hz
    const auto q = 0.7071752369554196, vh = 1.5848647011302448, vb = 1.2587209302323195;
    const auto a0 = 1.0 + k / q + k * k;
    return { (vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
             2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0 };
}

// The standard's high-pass numerator is exactly 1, -2, 1; only the denominator is normalised.
Biquad highPass (double sampleRate)
{
    const auto k = std::tan (119.8061151453059 / sampleRate); // pi * 38.13547087602444 Hz
    const auto q = 0.5003270373238773;
    const auto a0 = 1.0 + k / q + k * k;
    return { 1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0 };
}

double toLufs (double meanSquare)
{
    return 10.0 * std::log10 (meanSquare) + loudnessOffset;
}

void completeSubBlock (psr128::R128State& state, double energy, double subBlockLength)
{
    state.subBlockEnergies.push_back (energy);
    if (state.subBlockEnergies.size() > gatingSubBlocks)
        state.subBlockEnergies.pop_front();

    if (state.subBlockEnergies.size() < gatingSubBlocks)
        return;

    const auto meanSquare = std::accumulate (state.subBlockEnergies.begin(), state.subBlockEnergies.end(), 0.0)
                          / (gatingSubBlocks * subBlockLength);

    if (meanSquare <= 1e-15 || toLufs (meanSquare) <= absoluteGateLufs)
        return;

    if (state.gatedBlocks.size() > maxGatedBlocks)
        state.gatedBlocks.erase (state.gatedBlocks.begin(), state.gatedBlocks.begin() + trimmedGatedBlocks);

    state.gatedBlocks.push_back (meanSquare);
}

// The relative gate depends only on the gated blocks, so the integrated value is computed once,
// after the last sub-block, rather than after every block.
void integrate (psr128::R128State& state)
{
    if (state.gatedBlocks.empty())
        return;

    const auto mean = std::accumulate (state.gatedBlocks.begin(), state.gatedBlocks.end(), 0.0)
                    / static_cast<double> (state.gatedBlocks.size());
    const auto relativeGate = 0.1 * mean;

    double sum = 0.0;
    size_t count = 0;
    for (auto block : state.gatedBlocks)
    {
        if (block > relativeGate)
        {
            sum += block;
            ++count;
        }
    }

    const auto gatedMean = count > 0 ? sum / static_cast<double> (count) : 0.0;
    state.integratedLufs = gatedMean > 1e-15 ? toLufs (gatedMean) : silenceLufs;
}
}

double integratedLufs (const std::vector<float>& signal, double sampleRate)
{
    const auto subBlockLength = static_cast<size_t> (std::llround (0.1 * sampleRate));
    if (subBlockLength == 0)
        return silenceLufs;

    psr128::R128State state;
    auto shelf = highShelf (sampleRate);
    auto pass = highPass (sampleRate);

    double subBlockEnergy = 0.0;
    size_t filledInSubBlock = 0;

    for (size_t start = 0; start < signal.size(); start += chunkSize)
    {
        const auto length = std::min (chunkSize, signal.size() - start);
        double chunkEnergy = 0.0;
        for (size_t i = start; i < start + length; ++i)
        {
            const auto y = pass.process (shelf.process (signal[i]));
            chunkEnergy += y * y;
        }

        // The chunk's energy is shared among the sub-blocks it overlaps, by sample count.
        size_t remaining = length;
        while (remaining > 0)
        {
            const auto taken = std::min (remaining, subBlockLength - filledInSubBlock);
            subBlockEnergy += chunkEnergy * static_cast<double> (taken) / static_cast<double> (length);
            filledInSubBlock += taken;
            remaining -= taken;

            if (filledInSubBlock == subBlockLength)
            {
                completeSubBlock (state, subBlockEnergy, static_cast<double> (subBlockLength));
                subBlockEnergy = 0.0;
                filledInSubBlock = 0;
            }
        }
    }

    integrate (state);
    return state.integratedLufs;
}

std::vector<double> kWeighted (const std::vector<double>& signal, double sampleRate)
{
    auto shelf = highShelf (sampleRate);
    auto pass = highPass (sampleRate);
    std::vector<double> out;
    out.reserve (signal.size());
    for (auto x : signal)
        out.push_back (pass.process (shelf.process (x)));
    return out;
}
