#!/usr/bin/env bash
# Configures and builds one configuration: "release" (default, in build/) or "asan" (in build-asan/,
# with AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."

config="${1:-release}"
case "$config" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=Release) ;;
    asan)    dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTRIG_SANITIZE=ON) ;;
    *) echo "usage: scripts/build.sh [release|asan]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
