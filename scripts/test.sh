#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test; then builds everything again
# with AddressSanitizer and UndefinedBehaviorSanitizer (benchmarks left out) and runs the
# tests again; then builds the Debian packages and checks them (scripts/package-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/ensure-deps.sh

jobs=$(nproc)
# A test that fails once is run once more: a few end-to-end tests time real processes and
# pseudo-terminals on a loaded machine. A fault shows as a failure in both runs.
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQOR_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300 --repeat until-pass:2

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQOR_WERROR=ON -DQOR_SANITIZE=ON \
    -DQOR_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
# Leaks inside system libraries (scripts/lsan.supp says which and why) are not ours to fix.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0" \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 --repeat until-pass:2

bash scripts/package-check.sh
