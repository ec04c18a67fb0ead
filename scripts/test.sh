#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: a release build, and a
# build under AddressSanitizer and UndefinedBehaviorSanitizer; then the threaded groups under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# TESTRIG installs its own crash handler; ASan must let it.
export ASAN_OPTIONS="detect_leaks=1:allow_user_segv_handler=1"
# No scan of thread-local storage: plugins unloaded by JUCE's VST3 host leave stale dynamic TLS
# entries behind, on which the leak checker's own tracer crashes at exit.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1"

for config in release asan; do
    dir=build; [ "$config" = asan ] && dir=build-asan
    echo "=== $config: build"
    scripts/build.sh "$config"
    echo "=== $config: tests"
    ctest --test-dir "$dir" --no-tests=error --output-on-failure -j "$(nproc)"
done

# ThreadSanitizer on the groups whose threads meet: the measurement and live engines, the slots
# and their locks, the settings.
echo "=== tsan: build"
scripts/build.sh tsan
echo "=== tsan: tests"
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
    ctest --test-dir build-tsan --no-tests=error --output-on-failure -j "$(nproc)" -R '^testrig_(engine|hosting)_tests$'
