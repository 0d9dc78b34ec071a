#!/usr/bin/env bash
# The measurements of HACKING.md's "Measurements" section:
#   (a) to (c): dorvik-bench (listing at 9600 baud, one transaction, CPU while waiting);
#   (d) the peak resident memory of dorvik-explorer after listing two full drives (511
#       entries each), under a virtual X server against dorvik-unit-sim.
#   tools/bench.sh        built programs in ${BUILD_DIR:-build} (DORVIK_DESKTOP=ON)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$PWD/${BUILD_DIR:-build}
for program in dorvik-explorer dorvik-unit-sim dorvik-bench; do
  [[ -x $build/$program ]] || { echo "bench: $build/$program not built" >&2; exit 2; }
done

# Under the X server: start the unit with two full drives and the program, wait until both
# listings are in and the program is idle, then read its peak resident set.
peak_memory() {
  local work sim_pid app_pid deadline
  work=$(mktemp -d)
  {
    for drive in internal removable; do
      echo "[$drive]"
      echo "capacity 16000000"
      for clip in $(seq 1 511); do echo "VID$(printf %05d "$clip").MPG $((176400 * (clip % 60 + 1)))"; done
    done
  } >"$work/full.manifest"
  "$build/dorvik-unit-sim" --manifest "$work/full.manifest" --link "$work:1" --log >"$work/sim.log" 2>&1 &
  sim_pid=$!
  trap 'kill $sim_pid ${app_pid:-} 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' RETURN
  until [[ -L $work/COM1 ]]; do sleep 0.1; done
  printf 1 >"$work/mav.cfg"
  (cd "$work" && exec "$build/dorvik-explorer") >"$work/app.log" 2>&1 &
  app_pid=$!
  deadline=$((SECONDS + 60))
  until (($(grep -c '^received: ?D$' "$work/sim.log") == 2)); do
    ((SECONDS < deadline)) || { echo "bench: the listings did not start" >&2; return 1; }
    sleep 0.2
  done
  # The rows go in after the last block: wait until the program has used no CPU for a second.
  local before after
  after=$(awk '{print $14 + $15}' "/proc/$app_pid/stat")
  until [[ ${before:-} == "$after" ]]; do
    ((SECONDS < deadline)) || { echo "bench: the program did not settle" >&2; return 1; }
    before=$after
    sleep 1
    after=$(awk '{print $14 + $15}' "/proc/$app_pid/stat")
  done
  local peak now
  peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$app_pid/status")
  now=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
  echo "(d) dorvik-explorer after listing two drives of 511 entries: peak resident memory (VmHWM)" \
    "$((peak / 1024)) MiB ($peak kB), resident now $((now / 1024)) MiB"
}

if [[ ${1:-} == --peak-memory ]]; then
  peak_memory
  exit
fi

# A missed target makes dorvik-bench end with status 1: still measure (d), then fail.
status=0
"$build/dorvik-bench" || status=$?
bash tools/xvfb.sh bash "$0" --peak-memory
exit "$status"
