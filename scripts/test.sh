#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test; then builds everything again
# with AddressSanitizer and UndefinedBehaviorSanitizer (benchmarks left out) and runs the
# tests again; then builds the Debian packages and checks them (scripts/package-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/ensure-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# The names of the tests that failed in the last run of build folder $1, sorted.
failed_tests() {
    sed 's/^[0-9]*://' "$1/Testing/Temporary/LastTestsFailed.log" | sort
}

# Names, in each build, the tests that passed only when run again.
name_reruns() {
    for dir in build build-asan; do
        if [ -s "$dir/tests-rerun.txt" ]; then
            echo "Passed only when run again ($dir): $(paste -sd' ' "$dir/tests-rerun.txt")"
        fi
    done
}
rm -f build/tests-rerun.txt build-asan/tests-rerun.txt
trap name_reruns EXIT

# Runs every test of build folder $1. A few end-to-end tests time real processes and
# pseudo-terminals on a loaded machine, so a test that fails is run once more. The tests that
# passed only then are listed in $1/tests-rerun.txt and named when the script ends, however it
# ends; a test that fails both runs fails the script.
run_tests() {
    local dir=$1
    if ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 300; then
        return 0
    fi
    failed_tests "$dir" >"$dir/tests-failed.txt"
    echo "Running again: $(paste -sd' ' "$dir/tests-failed.txt")"
    local status=0
    ctest --test-dir "$dir" --output-on-failure --timeout 300 --rerun-failed || status=$?
    if [ "$status" -eq 0 ]; then
        cp "$dir/tests-failed.txt" "$dir/tests-rerun.txt"
    else
        comm -23 "$dir/tests-failed.txt" <(failed_tests "$dir") >"$dir/tests-rerun.txt"
    fi
    return "$status"
}

# Two full builds on a small machine: the compiler cache (when installed) keeps what an earlier
# build of the same sources compiled, with paths taken relative to this checkout so that a fresh
# clone elsewhere finds it; gold links the many test programs far faster than the default linker.
# The libraries keep the default linker, as the packages do: gold would add its own symbols to
# the link library's exports, which are checked name by name.
build_options=(-DQOR_WERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold)
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    build_options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${build_options[@]}"
cmake --build build -j"$jobs"
run_tests build

# Line tables are all a sanitizer's report needs, at a fraction of full debug information's cost.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQOR_SANITIZE=ON -DQOR_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 "${build_options[@]}"
cmake --build build-asan -j"$jobs"
# Leaks inside system libraries (scripts/lsan.supp says which and why) are not ours to fix.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0" \
    run_tests build-asan

# A test that passed only on its second run in both builds is flaky, not unlucky.
touch build/tests-rerun.txt build-asan/tests-rerun.txt
flaky=$(sort build/tests-rerun.txt build-asan/tests-rerun.txt | uniq -d | paste -sd' ')
if [ -n "$flaky" ]; then
    echo "Flaky in both builds: $flaky" >&2
    exit 1
fi

bash scripts/package-check.sh
