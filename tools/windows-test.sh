#!/usr/bin/env bash
# Cross-builds the logic and the Win32 port layer for 64-bit Windows (mingw-w64) into
# build-windows/ and runs the tests under Wine:
#  1. every cross-built logic suite, its counts beside those of the same tests in the Linux
#     build (argument 1, default build/) when that build has the suite;
#  2. test_win32_port, with Wine's COM1 pointed at dorvik-unit-sim's pseudo-terminal, and
#     dorvik.exe there (--version, ports, list);
#  3. the desktop program, dorvik-explorer.exe, through the Linux desktop smoke scenarios on a
#     virtual display, and a screenshot of its main window (build-windows/explorer-wine.png).
# tools/windows-package-test.sh then tests the installer. Ends with the line
# "windows: N passed, M failed" and fails when a test failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_build=$(realpath -m "${1:-build}")
out=$root/build-windows
started=$SECONDS

bash tools/install-deps.sh windows

echo "== Cross build for Windows (build-windows/)"
cmake -S . -B "$out" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build "$out" -j"$(nproc)"

# The simulator runs on Linux: take it from the Linux build, or build it on the side.
simulator=$linux_build/dorvik-unit-sim
if [[ ! -x $simulator ]]; then
  cmake -S . -B "$out/host" -G Ninja -DDORVIK_DESKTOP=OFF -DDORVIK_TESTS=OFF >/dev/null
  cmake --build "$out/host" -j"$(nproc)" --target dorvik-unit-sim
  simulator=$out/host/dorvik-unit-sim
fi

: >"$out/wine.log"
sim_pid=
wine_cleanup() { [[ -z $sim_pid ]] || kill "$sim_pid" 2>/dev/null; }
source tools/wine-prefix.sh

# "Suite.Test" for every test a program lists (parameterised ones with their instance names).
list_tests() {
  "$@" --gtest_list_tests | tr -d '\r' | awk '
    /^[^ ]/ { suite = $1 }
    /^  [^ ]/ { print suite $1 }'
}

# "passed failed" of one run of a test program (its standard output kept in a file); a program
# that crashes fails all it listed.
run_counts() {
  local listed=$1 output=$2
  shift 2
  timeout 300 "$@" >"$output" || true  # a hung program must not hold up the run for ever
  tr -d '\r' <"$output" | awk -v ran="$listed" '
    /^\[==========\] [0-9]+ tests? from .* ran/ { ran = $2 }
    /^\[  PASSED  \] [0-9]+ test/ { passed = $4 }
    /^\[  SKIPPED \] [0-9]+ test/ { skipped = $4 }
    END { print passed + 0, ran - passed - skipped }'
}

echo
echo "== Logic suites: Linux (same tests) beside Windows under Wine"
# "only": tests that one build has and the other lacks (pseudo-terminal and FAT image tests run
# only on Linux; a stale Linux build may lack new ones). Linux runs the tests both builds have.
printf '%-10s %17s %17s %11s %13s\n' suite "linux pass/fail" "windows pass/fail" "linux only" "windows only"
windows_passed=0
windows_failed=0
for program in "$out"/tests/test_*.exe; do
  area=$(basename "$program" .exe)
  [[ $area == test_win32_port ]] && continue
  mapfile -t tests < <(list_tests wine "$program" 2>>"$wine_log")
  read -r passed failed < <(run_counts "${#tests[@]}" "$out/$area.out" wine "$program" --gtest_brief=1 2>>"$wine_log")
  ((windows_passed += passed, windows_failed += failed)) || true
  linux="-" linux_only="-" windows_only="-"
  if [[ -x $linux_build/tests/$area ]]; then
    printf '%s\n' "${tests[@]}" | sort >"$out/$area.windows.list"
    list_tests "$linux_build/tests/$area" | sort >"$out/$area.linux.list"
    mapfile -t common < <(comm -12 "$out/$area.windows.list" "$out/$area.linux.list")
    linux_only=$(comm -13 "$out/$area.windows.list" "$out/$area.linux.list" | wc -l)
    windows_only=$(comm -23 "$out/$area.windows.list" "$out/$area.linux.list" | wc -l)
    filter=$(IFS=:; echo "${common[*]}")
    read -r lpassed lfailed < <(run_counts "${#common[@]}" "$out/$area.linux.out" \
      "$linux_build/tests/$area" --gtest_brief=1 --gtest_filter="${filter:--*}")
    linux="$lpassed/$lfailed"
  fi
  printf '%-10s %17s %17s %11s %13s\n' "${area#test_}" "$linux" "$passed/$failed" "$linux_only" "$windows_only"
  ((failed == 0)) || tr -d '\r' <"$out/$area.out"
done

echo
echo "== Win32 port and serial link against the simulator behind COM1"
sim_log=$out/sim.log
"$simulator" --manifest tests/windows/com1.manifest --completion-delay 1500 --log >"$sim_log" 2>&1 &
sim_pid=$!
pty=
for _ in $(seq 50); do
  pty=$(sed -n 's/^dorvik-unit-sim: serving on //p' "$sim_log")
  [[ -n $pty ]] && break
  sleep 0.1
done
[[ -n $pty ]] || { cat "$sim_log"; echo "dorvik-unit-sim did not start" >&2; exit 1; }
# COM2 leads where there is no device, for the failed open.
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$pty" /f >>"$wine_log" 2>&1
wine reg add 'HKLM\Software\Wine\Ports' /v COM2 /t REG_SZ /d "$out/no-such-device" /f >>"$wine_log" 2>&1
wineserver -w  # Wine makes the port links from the registry when a wineserver starts
port_program=$out/tests/test_win32_port.exe
mapfile -t tests < <(list_tests wine "$port_program" 2>>"$wine_log")
export DORVIK_SIM_LOG="Z:$sim_log"
read -r passed failed < <(run_counts "${#tests[@]}" "$out/test_win32_port.out" wine "$port_program" 2>>"$wine_log")
((windows_passed += passed, windows_failed += failed)) || true
tr -d '\r' <"$out/test_win32_port.out" | grep -v '^Running main'
echo "test_win32_port: $passed passed, $failed failed (COM1 -> $pty)"

echo
echo "== dorvik.exe against the simulator behind COM1"
# check DESCRIPTION PATTERN COMMAND...: the command ends with status 0 and prints a line
# matching PATTERN.
check() {
  local what=$1 pattern=$2 output
  shift 2
  if output=$(timeout 60 "$@" 2>>"$wine_log" | tr -d '\r') && grep -qE "$pattern" <<<"$output"; then
    ((++windows_passed))
    echo "dorvik.exe $what: ok"
  else
    ((++windows_failed))
    echo "dorvik.exe $what: FAILED"
    echo "$output"
  fi
}
dorvik=$out/dorvik.exe
# The port test's wine server lingers a few seconds after its last program: a program started
# while it shuts down loses its connection ("recvmsg: Connection reset by peer", seen once).
wineserver -w
check --version "^dorvik $(sed -n 's/^project(DorvikExplorer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)\$" \
  wine "$dorvik" --version
check ports '^COM1 +COM1 ' wine "$dorvik" ports
check list '^README\.TXT ' wine "$dorvik" --port COM1 list removable

echo
echo "== The desktop program under Wine: the desktop smoke scenarios"
# menu-start runs against the installed program, in tools/windows-package-test.sh.
export DORVIK_EXE=$out/platform/win32/dorvik-explorer.exe SMOKE_UNDER_WINE=1 SMOKE_SHOTS=$out/desktop-shots
desktop_passed=0 desktop_failed=0
for scenario in start-exit port-choice context-refresh rename about-keys copy-at-once copy-wait-repaint play delete; do
  shot=""
  [[ $scenario == start-exit ]] && shot=$out/explorer-wine.png
  if SMOKE_SHOT=$shot bash tools/xvfb.sh bash tests/desktop/smoke.sh "$scenario" "$root/tests/windows/wine-explorer.sh" \
    "$simulator" "$root/sim/demo.manifest" >"$out/desktop-$scenario.log" 2>&1; then
    ((++desktop_passed))
  else
    ((++desktop_failed))
    tail -n 30 "$out/desktop-$scenario.log"
  fi
  tail -n 1 "$out/desktop-$scenario.log"
done
echo "desktop under Wine: $desktop_passed passed, $desktop_failed failed"
((windows_passed += desktop_passed, windows_failed += desktop_failed)) || true

echo
echo "Windows part took $((SECONDS - started)) s"
echo "windows: $windows_passed passed, $windows_failed failed"
((windows_failed == 0))
