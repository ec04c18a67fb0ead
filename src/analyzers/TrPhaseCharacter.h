#pragma once

#include "results/TrCurveRecords.h"

#include <complex>
#include <vector>

/** Whether a response's phase is linear (a pure delay), minimum (what its magnitude implies, plus
    a delay) or mixed; only judged when the response is not flat in band. */
namespace TrPhaseCharacter
{
    /** Fills phaseCharacter, phaseDevFlatDeg and phaseDevMinPhaseDeg from the curve points (with
        the grid bin of each point) unless the in-band span is 0.75 dB or less. */
    void classify (TrCurveResult& r, const std::vector<int>& pointBins, const std::vector<std::complex<double>>& transfer, int n);
}
