#!/usr/bin/env bash
# The audition callback's figures on JACK's dummy backend (512 frames at 48 kHz), started for the
# run and stopped after it: allocations on the audio thread and the callback's cost beyond the
# plugins, over 10 s of playback with empty slots and with two wire fixtures.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTRIG_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target testrig_fixtures testrig_audition_measure
tests/support/with-jackd.sh build/bench/testrig_audition_measure build/fixtures/TestrigFixture.vst3
