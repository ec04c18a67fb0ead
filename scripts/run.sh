#!/usr/bin/env bash
# Installs what is missing, builds TESTRIG and runs it: the window when a display is available,
# otherwise the checkup of the bundled example plugin, printed to the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh release

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/TESTRIG
fi

example=build/fixtures/TestrigSoftClip.vst3
echo "No display: the checkup of the example plugin $example (a soft clipper)"
exec ./build/TESTRIG --bench-checkup "$example"
