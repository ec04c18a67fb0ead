#!/usr/bin/env bash
# Builds the benchmarks into the release build folder and runs them: the signal toolkit, then the
# report card renderer. Figures, not pass/fail.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTRIG_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target testrig_dsp_bench testrig_card_bench
build/bench/testrig_dsp_bench "$@"
build/bench/testrig_card_bench "$@"
