#!/usr/bin/env bash
# Screenshots of every window of the desktop program, taken under a virtual X server against
# the unit simulator: the main window, its context menu, the splash with the progress window,
# the port dialog, both communication dialogs and the about box.
#
# usage: tools/screenshots.sh [BUILD_DIR [OUT_DIR]]    (defaults: build, screenshots)
# With the Windows build (build-windows, after tools/windows-test.sh), the Windows program
# under Wine in that build's prefix, against the simulator of build/, at DPI dots per inch
# (default 96): DPI=144 tools/screenshots.sh build-windows shots-144
set -euo pipefail

if [[ -z ${DISPLAY:-} ]]; then
  exec bash "$(dirname "$0")/xvfb.sh" "$0" "$@"
fi
export GDK_BACKEND=x11 NO_AT_BRIDGE=1

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
mkdir -p "${2:-screenshots}"
out=$(cd "${2:-screenshots}" && pwd)
explorer=$build/dorvik-explorer simulator=$build/dorvik-unit-sim manifest=$repo/sim/demo.manifest
if [[ -f $build/platform/win32/dorvik-explorer.exe ]]; then
  export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export DORVIK_EXE=$build/platform/win32/dorvik-explorer.exe
  explorer=$repo/tests/windows/wine-explorer.sh simulator=$repo/build/dorvik-unit-sim
  for key in 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' 'HKCU\Control Panel\Desktop'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "${DPI:-96}" /f >/dev/null 2>&1
  done
fi

work=$(mktemp -d)
app_pid="" sim_pid=""
stop_all() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n $sim_pid ]] && kill -CONT "$sim_pid" 2>/dev/null && kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  app_pid="" sim_pid=""
  rm -f "$work"/COM* "$work/mav.cfg"
  wait_for 5 no_program_windows  # the server lets a dead program's windows go a little later
}
trap 'stop_all; rm -rf "$work"' EXIT

wait_for() {  # wait_for SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || { echo "screenshots: timed out waiting for: $*" >&2; exit 1; }
    sleep 0.2
  done
}
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }
has_window() { [[ -n $(window_named "$1") ]]; }
no_program_windows() { ! xdotool search --onlyvisible --name 'Dorvik|COM Port|Uploading|Communications'; }

start() {  # start [SIMULATOR OPTIONS...]: simulator as COM1, "mav.cfg" naming it, program
  "$simulator" --manifest "$manifest" --link "$work:1" "$@" >"$work/sim.log" 2>&1 &
  sim_pid=$!
  wait_for 10 test -L "$work/COM1"
  printf 1 >"$work/mav.cfg"
  (cd "$work" && exec "$explorer") >"$work/app.log" 2>&1 &
  app_pid=$!
}

# shoot NAME WINDOW [MARGIN]: the window and MARGIN pixels around it (for popup menus).
shoot() {
  local name=$1 window=$2 margin=${3:-0} WIDTH HEIGHT X Y SCREEN
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "$((WIDTH + 2 * margin))x$((HEIGHT + 2 * margin))+$((X - margin))+$((Y - margin))" \
    "$out/$name.png"
  echo "screenshots: $out/$name.png"
}

# click WINDOW X Y WIDTH_DU HEIGHT_DU [BUTTON]: at dialog units of a WIDTH_DU x HEIGHT_DU dialog.
click_du() {
  local window=$1 WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $(($2 * WIDTH / $4)) $(($3 * HEIGHT / $5)) click "${6:-1}"
}
click_main() { click_du "$(window_named "Dorvik Explorer")" "$1" "$2" 377 162 "${3:-1}"; }

# The port dialog: no "mav.cfg".
(cd "$work" && exec "$explorer") >"$work/app.log" 2>&1 &
app_pid=$!
wait_for 15 has_window "Please Choose A COM Port"
shoot port-dialog "$(window_named "Please Choose A COM Port")"
stop_all

# The splash and the progress window: replies at the real line rate take seconds a block.
start --paced
wait_for 15 has_window "Uploading Internal Drive Directory Information...."
sleep 9
shoot splash-progress "$(xdotool search --onlyvisible --name "Uploading" | head -n 1)" 200
stop_all

# The main window, a row selected, the context menu, the about box.
start --revision "2.04 B117"
wait_for 30 has_window "Dorvik Explorer"
main=$(window_named "Dorvik Explorer")
click_main 60 52  # a row of the Removable list
shoot main-window "$main"
click_main 220 60 3  # right click on a row of the Internal list
shoot context-menu "$main" 60
xdotool key Escape
click_main 344 111  # &About
wait_for 10 has_window "About Dorvik Explorer"
about=$(window_named "About Dorvik Explorer")
click_du "$about" 147 64 211 125  # Get Firmware Rev.
shoot about-box "$about"
click_du "$about" 188 14 211 125  # Close

# The communication dialogs: the unit falls silent.
kill -STOP "$sim_pid"
click_main 344 25  # &Play
wait_for 15 has_window "Communications Error!"
error=$(window_named "Communications Error!")
shoot comm-error "$error"
click_du "$error" 74 97 214 111  # &Retry
wait_for 15 has_window "Communications Failed!"
shoot comm-failed "$(window_named "Communications Failed!")"
stop_all
