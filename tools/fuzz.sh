#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and fuzzes each one for a number of runs.
#   tools/fuzz.sh [runs] [target...]     runs: default 10000000; targets: default all five
# Each target grows its own working corpus in $BUILD_DIR/fuzz-corpus/<target>, seeded from the
# committed tests/fuzz/corpus/<target>; a finding is written to $BUILD_DIR/fuzz-findings/ and
# stops the script. Needs clang-14 and libclang-rt-14-dev.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10000000}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(reply_scanner directory_listing clip_name config_file text_builders)
build=${BUILD_DIR:-build-fuzz}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DDORVIK_DESKTOP=OFF -DDORVIK_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/fuzz-findings"
for target in "${targets[@]}"; do
  corpus="$PWD/$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  cp -n tests/fuzz/corpus/"$target"/* "$corpus"/
  start=$(date +%s)
  # The start-up target makes a folder per run: a memory file system keeps that cheap.
  TMPDIR=/dev/shm "$build/tests/fuzz/fuzz_$target" -runs="$runs" -print_final_stats=1 \
    -artifact_prefix="$PWD/$build/fuzz-findings/$target-" "$corpus" 2>"$build/fuzz-$target.log" || {
    echo "$target: finding, see $build/fuzz-$target.log and $build/fuzz-findings/" >&2
    exit 1
  }
  echo "$target: $runs runs in $(($(date +%s) - start)) s, no finding"
done
