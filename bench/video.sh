#!/usr/bin/env bash
# Times the 8-second 1080p60 reveal video of the soft-clip fixture's card (measuring, drawing and
# encoding) against the ffmpeg command line encoding the same 480 frames, given to it as raw BGRA,
# with the same settings. The ratio A/B is the figure to keep near 1. Needs about 4 GB in /tmp.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESTRIG_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target TESTRIG testrig_fixtures testrig_reveal_frames

fixture=build/fixtures/TestrigSoftClip.vst3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/testrig_reveal_frames "$fixture" "$work/frames.raw"

farm-bench -n 3 --warmup 1 --timeout 1800 \
    --vs "ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s 1920x1080 -r 60 -i $work/frames.raw -c:v libx264 -profile:v high -b:v 16M -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv $work/ffmpeg.mp4" \
    -- build/TESTRIG --bench-card "$work/testrig.mp4" "$fixture"
