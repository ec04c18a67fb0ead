#!/usr/bin/env bash
# The live engine's figures on the wire fixture, a plugin that costs nothing: stream pace against
# real time at every RATE preset, frames per second, the first frame after a change of settings,
# the p99 of one frame's analysis, and the window's copy of the results.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTRIG_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target testrig_fixtures testrig_live_measure
build/bench/testrig_live_measure build/fixtures/TestrigFixture.vst3
