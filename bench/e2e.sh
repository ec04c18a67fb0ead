#!/usr/bin/env bash
# End-to-end cost of the bench modes, each as a ratio to `--list-params` on the same plugin in the
# same run: start-up and loading are the floor every mode pays. Medians of several runs.
# Usage: bench/e2e.sh [runs]   (after scripts/build.sh release)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${1:-5}"
testrig=build/TESTRIG
fixtures=build/fixtures

median_ms() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$testrig" "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

printf '%-18s %-34s %9s %7s\n' plugin mode ms ratio
for plugin in TestrigFixture TestrigSoftClip; do
    bundle="$fixtures/$plugin.vst3"
    floor=$(median_ms --list-params "$bundle")
    printf '%-18s %-34s %9s %7s\n' "$plugin" "--list-params" "$floor" "1.00"
    # Each line: the arguments, with @ standing for the plugin.
    while read -r line; do
        # shellcheck disable=SC2206
        args=(${line//@/$bundle})
        ms=$(median_ms "${args[@]}")
        printf '%-18s %-34s %9s %7s\n' "$plugin" "$line" "$ms" "$(awk "BEGIN { printf \"%.2f\", $ms / $floor }")"
    done <<MODES
--bench @
--bench-thd @
--bench-imd @
--bench-imd @ --imd ccif
--bench-curve @
--bench-null @ @
--bench-perf @ --seconds 0.25
--bench-dyn @
--bench-checks @
--bench-checkup @
MODES
done
