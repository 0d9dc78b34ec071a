#!/usr/bin/env bash
# Builds the logic, the simulator and every test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the tests: any report fails the run.
#   tools/sanitize.sh            (build folder: build-asan, or $BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-asan}
jobs=${JOBS:-$(nproc)}
# Unoptimised: builds in less than half the time, and no access is optimised away unseen.
cmake -S . -B "$build" -G Ninja -DDORVIK_SANITIZE=ON -DDORVIK_DESKTOP=OFF -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build" -j"$jobs"
# A leak or a report of either sanitizer ends the test program with a failure.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$jobs"
