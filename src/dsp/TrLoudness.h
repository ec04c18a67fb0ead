#pragma once

#include <deque>
#include <vector>

/** Integrated loudness after ITU-R BS.1770-4 / EBU R128. */
namespace psr128
{
    /** The running state of one loudness measurement. */
    struct R128State
    {
        std::deque<double> subBlockEnergies;  // the last four 100 ms sub-blocks: one 400 ms gating block
        std::vector<double> gatedBlocks;      // mean squares of the gating blocks above -70 LUFS
        double integratedLufs = -100.0;
    };
}

/** Integrated loudness of one channel in LUFS; -100 when nothing passes the gates. A trailing
    partial 100 ms sub-block is ignored. */
double integratedLufs (const std::vector<float>& signal, double sampleRate);

/** The signal through the two K-weighting filters of the standard, designed for the rate, from
    silence. */
std::vector<double> kWeighted (const std::vector<double>& signal, double sampleRate);
