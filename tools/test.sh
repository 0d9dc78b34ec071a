#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test suite: on Linux, the Debian
# package installed and started and one desktop smoke test under valgrind; the suites under the
# address and undefined-behaviour sanitizers; and the logic cross-built for Windows under Wine,
# with its zip and installer installed there.
#
# The three runs go side by side, since much of each is waiting (on pseudo-terminals, virtual
# displays, Wine) while another compiles. The sanitizer build and the cross build need nothing
# of the Linux build: they start at once, at a lower priority, on what it leaves of the
# processors. The Linux suites, and the Windows checks (which take the simulator and the
# suites' lists from the Linux build), follow it. Each run writes its own log (build-logs/),
# shown whole when the run ends.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

# Every package first: the runs must not meet in apt, and the package test installs with it.
bash tools/install-deps.sh build package windows
logs=$PWD/build-logs
rm -rf "$logs"
mkdir -p "$logs"

# Each run in a process group of its own, so that stopping one stops all it started.
set -m
declare -A pids
run() {  # run NAME COMMAND...: in the background, into build-logs/NAME.log, timed
  local name=$1
  shift
  (
    begun=$SECONDS
    # Not "|| status=$?": that would switch off errexit within the run, and a failed step
    # followed by passing ones would pass.
    set +e
    (set -e; "$@") >"$logs/$name.log" 2>&1
    status=$?
    echo "== $name: $((SECONDS - begun)) s, status $status" >>"$logs/$name.log"
    exit "$status"
  ) &
  pids[$name]=$!
}
trap 'for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || true; done' EXIT

run sanitizers nice -n 10 env BUILD_DIR=build-asan bash tools/sanitize.sh

# The logic and the Win32 port layer, cross-built for Windows and run under Wine. The build is
# configured as tools/windows-test.sh configures it, which then finds it built.
windows() {
  cmake -S . -B build-windows -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
  nice -n 10 cmake --build build-windows -j"$(nproc)"
  until [[ -e $logs/linux-built ]]; do sleep 1; done
  bash tools/windows-test.sh build
  bash tools/windows-package-test.sh build
}
run windows windows

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
touch "$logs/linux-built"
echo "== Linux build done at $((SECONDS - started)) s"

linux() {
  ctest --test-dir build --output-on-failure -j"$(nproc)"
  bash tools/package-test.sh build
  BUILD_DIR=build bash tools/memcheck.sh start-exit
}
run linux linux

failed=()
for name in linux sanitizers windows; do
  wait "${pids[$name]}" || failed+=("$name")
  unset "pids[$name]"
  echo
  echo "==================== $name"
  cat "$logs/$name.log"
done
echo
echo "tools/test.sh took $((SECONDS - started)) s"
if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
