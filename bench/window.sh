#!/usr/bin/env bash
# Times MEASURE in the window, from the press to the drawn result (window opening included), against
# the matching bench mode on the same plugins, per tab: the soft-clip fixture in A and ZamCompX2 in
# B (the null test compares the two). The ratio A/B is the figure to keep near 1. Runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
# One display for every run, so that no run pays for starting one.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$@"

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTRIG_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target TESTRIG testrig_fixtures testrig_window_measure

a=build/fixtures/TestrigSoftClip.vst3
b=/usr/lib/vst3/ZamCompX2.vst3

# tab, bench mode, the mode's options that make it measure what the tab does
for case in "curve|--bench-curve|" "harmonics|--bench|" "dynamics|--bench-dyn|--runs 1" "perf|--bench-perf|" "checks|--bench-checks|"; do
    IFS='|' read -r tab mode options <<<"$case"
    echo "=== $tab ($mode)"
    farm-bench -n 3 --warmup 1 --timeout 900 --vs "build/TESTRIG $mode $a $options" \
        -- build/bench/testrig_window_measure "$tab" "$a"
done
echo "=== null (--bench-null)"
farm-bench -n 3 --warmup 1 --timeout 900 --vs "build/TESTRIG --bench-null $a $b" \
    -- build/bench/testrig_window_measure null "$a" "$b"
