#!/usr/bin/env bash
# Configures and builds one configuration: "release" (default, in build/), "asan" (in build-asan/,
# with AddressSanitizer and UndefinedBehaviorSanitizer) or "tsan" (in build-tsan/, with
# ThreadSanitizer: only the test groups whose threads meet - the engines, the slots, the settings).
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
targets=()
case "$config" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan)    dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTRIG_SANITIZE=ON) ;;
    tsan)    dir=build-tsan; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTRIG_TSAN=ON); targets=(--target testrig_engine_tests testrig_hosting_tests) ;;
    *) echo "usage: scripts/build.sh [release|asan|tsan]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
