#!/usr/bin/env bash
# Installs what is missing, builds TESTRIG and runs it: the window when a display is available,
# otherwise a headless report on the bundled example plugin.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh release

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/TESTRIG
fi

example=build/fixtures/TestrigFixture.vst3
echo "No display: listing the parameters of the example plugin $example"
exec ./build/TESTRIG --list-params "$example"
