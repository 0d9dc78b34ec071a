#!/usr/bin/env bash
# Measures the Windows program under Wine as tools/bench.sh measures the Linux one: the
# listing of a full Internal Drive (511 clips) with the unit paced at 9600 baud against the
# line rate, the CPU the program and the wine server used during it, the program's peak
# resident memory once both drives are listed, and how long the about box takes to close after
# Escape.
#   tools/windows-bench.sh [LINUX_BUILD]   (after tools/windows-test.sh: build-windows/ and its Wine prefix)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z ${DISPLAY:-} ]]; then exec bash tools/xvfb.sh "$0" "$@"; fi
root=$PWD
simulator=$(realpath "${1:-build}")/dorvik-unit-sim
export WINEPREFIX=$root/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DORVIK_EXE=$root/build-windows/platform/win32/dorvik-explorer.exe
# No window manager runs here: Wine must not wait for one whenever a window hides.
export WINE_UNMANAGED=1

work=$(mktemp -d)
sim_pid="" app_pid=""
finish() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

{
  echo "[internal]"
  echo "capacity 16000000"
  for clip in $(seq 1 511); do echo "VID$(printf %05d "$clip").MPG $((176400 * (clip % 60 + 1)))"; done
  echo "[removable]"
} >"$work/full.manifest"
# Each line the unit receives, with the time it was logged.
"$simulator" --manifest "$work/full.manifest" --link "$work:1" --paced --log \
  > >(while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done >"$work/sim.log") 2>&1 &
sim_pid=$!
until [[ -L $work/COM1 ]]; do sleep 0.1; done
printf 1 >"$work/mav.cfg"
(cd "$work" && exec bash "$root/tests/windows/wine-explorer.sh") >"$work/app.log" 2>&1 &
app_pid=$!

received() { grep -c " received: $1\$" "$work/sim.log" || true; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
wait_until() {  # wait_until COMMAND...: polled every 20 ms, for at most 120 s
  local deadline=$((SECONDS + 120))
  until "$@"; do
    ((SECONDS < deadline)) || { echo "windows-bench: timed out waiting for: $*" >&2; exit 1; }
    sleep 0.02
  done
}
listing_started() { (($(received 0SL) >= 2)); }
listing_ended() { (($(received 1SL) >= 1)); }
both_listed() { (($(received '?D') >= 2)); }

wait_until listing_started
# The processes of this run's Wine prefix (other Wine programs may run beside it).
ours() {
  local pid
  for pid in $(pgrep "$@"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
}
program=$(ours -f '^[^ ]*dorvik-explorer\.exe' | head -n 1)
server=$(ours -x wineserver64 | head -n 1)
[[ -n $program && -n $server ]] || { echo "windows-bench: the program or the wine server is not to be found" >&2; exit 1; }
program_before=$(ticks "$program") server_before=$(ticks "$server")
wait_until listing_ended
program_after=$(ticks "$program") server_after=$(ticks "$server")
started=$(awk '/ received: 0SL$/ { n++; if (n == 2) print $1 }' "$work/sim.log")
ended=$(awk '/ received: 1SL$/ { print $1; exit }' "$work/sim.log")
# From the Internal Drive's select reaching the unit to the Removable probe reaching it:
# 16,358 bytes at 10 bits a byte, five drains of the listing and the probe's own drain.
awk -v started="$started" -v ended="$ended" -v hz="$(getconf CLK_TCK)" \
  -v program="$((program_after - program_before))" -v server="$((server_after - server_before))" 'BEGIN {
  took = ended - started; limit = 16358 * 10 / 9600 + 6 * 0.1
  printf "(a) one drive listing under Wine, unit paced at 9600 baud: %.3f s, limit %.3f s, ratio %.4f\n", took, limit, took / limit
  printf "(c) CPU during it: program %.2f s (%.2f %%), wine server %.2f s (%.2f %%)\n",
    program / hz, 100 * program / hz / took, server / hz, 100 * server / hz / took
}'
wait_until both_listed
sleep 2  # the rows of the second listing go in after its last block
peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$program/status")
echo "(d) dorvik-explorer.exe after listing both drives: peak resident memory $((peak / 1024)) MiB ($peak kB)"

window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n $(window_named "$1") ]]; }
wait_until has_window "Dorvik Explorer"
main=$(window_named "Dorvik Explorer")
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((344 * WIDTH / 377)) $((111 * HEIGHT / 162)) click 1  # &About
wait_until has_window "About Dorvik Explorer"
xdotool windowfocus --sync "$(window_named "About Dorvik Explorer")"
sleep 0.5
pressed=$EPOCHREALTIME
xdotool key Escape
while has_window "About Dorvik Explorer"; do sleep 0.01; done
awk -v pressed="$pressed" -v closed="$EPOCHREALTIME" \
  'BEGIN { printf "(e) the about box closed %.3f s after Escape\n", closed - pressed }'
