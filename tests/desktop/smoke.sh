#!/usr/bin/env bash
# Desktop smoke tests: the real program under a virtual X server against the unit simulator
# on a pseudo-terminal. They prove the wiring, the layout and the real widgets; the logic is
# tested without a display.
#
# usage: smoke.sh SCENARIO EXPLORER SIMULATOR MANIFEST   (run under tools/xvfb.sh)
# SCENARIO: start-exit | port-choice | context-refresh | rename | about-keys | copy-at-once |
#           copy-wait-repaint | menu-start | play | delete | ways-out
# With SMOKE_UNDER_WINE set, EXPLORER is the Windows program's wrapper (tests/windows/), and
# the port's lock is not checked: Wine does not lock a serial device. With SMOKE_SHOT set,
# start-exit saves the listed main window there.
# copy-wait-repaint leaves its screenshots in SMOKE_SHOTS, or beside EXPLORER in desktop-shots/.
# With SMOKE_SLOWDOWN set to a whole number, every wait is that many times as long (a program
# under valgrind starts many times slower, the more so while builds share the processors).
set -euo pipefail

scenario=$1 explorer=$2 simulator=$3 manifest=$4

work=$(mktemp -d)
app_pid="" sim_pid="" xvfb_pid=""
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  # A scenario that fails while its own display is up must not wait for that server for ever.
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($scenario): $*" >&2
  echo "--- simulator log" >&2; cat "$work/sim.log" >&2 || true
  echo "--- program output" >&2; cat "$work/app.log" >&2 || true
  exit 1
}

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local limit=$(($1 * ${SMOKE_SLOWDOWN:-1})) what=$2; shift 2
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || fail "timed out waiting for $what"
    sleep 0.2
  done
}

# The unit's COMn link goes into the program's working folder, $work unless a scenario moves it.
folder=$work
start_sim() {  # start_sim COM_NUMBER [SIMULATOR OPTIONS...]
  local number=$1; shift
  "$simulator" --manifest "$manifest" --link "$folder:$number" --log "$@" >"$work/sim.log" 2>&1 &
  sim_pid=$!
  wait_for 10 "the simulator's COM$number link" test -L "$folder/COM$number"
}

start_app() {
  (cd "$work" && exec "$explorer") >"$work/app.log" 2>&1 &
  app_pid=$!
}

window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }
has_window() { [[ -n $(window_named "$1") ]]; }
no_window() { [[ -z $(window_named "$1") ]]; }
# A popup menu is a nameless window of its own: it shows as one more visible window.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
more_windows_than() { (($(visible_windows) > $1)); }
at_most_windows() { (($(visible_windows) <= $1)); }

# click WINDOW X Y: X and Y in the template's dialog units of that window's dialog, which
# is WIDTH_DU x HEIGHT_DU; the window's real size gives the scale.
click_du() {
  local window=$1 x=$2 y=$3 width_du=$4 height_du=$5 WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $((x * WIDTH / width_du)) $((y * HEIGHT / height_du)) click "${6:-1}"
}

expect_exit_status() {
  local status=0 deadline=$((SECONDS + 15 * ${SMOKE_SLOWDOWN:-1}))
  while kill -0 "$app_pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "the program did not end"
    sleep 0.2
  done
  wait "$app_pid" || status=$?
  app_pid=""
  [[ $status -eq $1 ]] || fail "exit status $status, expected $1"
}

# Clicks the Removable list's first row (COMMAND2.BAT) and moves down to VID00004.MPG, the
# fourth in clip-number order.
select_fourth_removable_row() {
  click_du "$main" 40 40 377 162
  sleep 0.3
  xdotool key Down Down Down
}

# Clicks E&xit in the main window: the program ends with status 0.
exit_by_button() {
  click_du "$main" 344 129 377 162
  expect_exit_status 0
}

# The port is opened with an exclusive advisory lock: another program cannot take it while
# this one holds it.
port_locked() { [[ -n ${SMOKE_UNDER_WINE:-} ]] || ! flock -n "$work/COM$1" true; }
port_free() { [[ -n ${SMOKE_UNDER_WINE:-} ]] || flock -n "$work/COM$1" true; }
# Exclusive mode outlives a program that never ended it while the simulator holds the terminal
# open: every later opener but root would be refused. (TIOCGEXCL; perl is always on Debian.)
not_exclusive() {
  perl -MFcntl -e 'sysopen(my $f, $ARGV[0], O_RDWR | O_NOCTTY | O_NONBLOCK) or die "$!";
                   my $v = pack("i", 0); ioctl($f, 0x80045440, $v) or die "$!"; exit unpack("i", $v)' \
    "$(readlink -f "$work/COM$1")"
}

received() { grep -c "^received: $1\$" "$work/sim.log" || true; }
received_at_least() { (($(received "$1") >= $2)); }

# Pixels of the film strip icon's green inside the part of the main window that holds one
# list: rows with a video clip show it, an empty list has none.
green_pixels_in_list() {  # green_pixels_in_list WINDOW LEFT_DU
  local window=$1 left=$2 WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "$((122 * WIDTH / 377))x$((119 * HEIGHT / 162))+$((X + left * WIDTH / 377))+$((Y + 19 * HEIGHT / 162))" \
    "$work/list.png"
  convert "$work/list.png" -fill black +opaque "#5B9A3C" -fill white -opaque "#5B9A3C" \
    -format "%[fx:round(mean*w*h)]" info:
}
lists_filled() {
  local main
  main=$(window_named "Dorvik Explorer")
  (($(green_pixels_in_list "$main" 13) > 0)) && (($(green_pixels_in_list "$main" 178) > 0))
}
# Waits for the main window with both drives listed, and sets main to it.
wait_for_listed_window() {
  wait_for 30 "the main window" has_window "Dorvik Explorer"
  wait_for 10 "both lists to show their clips" lists_filled
  main=$(window_named "Dorvik Explorer")
}
# The unit on COM1, named by "mav.cfg", and the program started on it.
start_on_com1() {  # start_on_com1 [SIMULATOR OPTIONS...]
  start_sim 1 "$@"
  printf 1 >"$work/mav.cfg"
  start_app
  wait_for_listed_window
}

# Few clips, so that every row stays in view: one video on the Internal Drive, two on the
# Removable Drive, of which VID00004.MPG comes first.
small_unit() {
  manifest=$work/small.manifest
  printf '[internal]\nVID00001.MPG 1764000\n[removable]\nVID00004.MPG 1764000\nVID00031.MPG 8996400\n' >"$manifest"
}
# Selects VID00004.MPG on the Removable Drive and clicks -->.
copy_first_removable_clip() {
  click_du "$main" 40 40 377 162
  sleep 0.3
  click_du "$main" 156 51 377 162  # -->
  wait_for 10 "the copy line" received_at_least VID00004MPGCI 1
}
internal_green_above() { (($(green_pixels_in_list "$main" 178) > $1)); }
# shoot_main FILE: the main window as it stands on the screen.
shoot_main() {
  local WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$main")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$1"
}

case $scenario in
  start-exit)
    # "mav.cfg" names COM1; the unit answers there: the main window opens with both drives
    # listed, holding the port, and Exit ends the program with status 0 and the port free.
    start_on_com1
    [[ -z ${SMOKE_SHOT:-} ]] || shoot_main "$SMOKE_SHOT"
    [[ $(received '?D') -eq 2 ]] || fail "expected two directory reads"
    port_locked 1 || fail "the running program does not hold COM1"
    exit_by_button
    port_free 1 || fail "COM1 is still held after the program ended"
    [[ $(cat "$work/mav.cfg") == 1 ]] || fail "mav.cfg changed"
    ;;
  menu-start)
    # Started as the desktop menu starts it, in a home that holds nothing of the program's: it
    # makes its working folder under ~/.config and asks for a port there; the unit linked in
    # that folder as COM2 is chosen, and "mav.cfg" is saved beside the link. On Windows the
    # Start menu's folder is "Dorvik Explorer" in the application data, and COM2 stays where
    # Wine's ports lead.
    mkdir "$work/home"
    folder=$work/home/.config/dorvik-explorer
    config=$folder
    if [[ -n ${SMOKE_UNDER_WINE:-} ]]; then
      config="$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -path '*/AppData/Roaming' ! -path '*/Public/*' | head -n 1)/Dorvik Explorer"
      rm -rf "$config"
      folder=$work
    fi
    (cd "$work" && HOME=$work/home XDG_CONFIG_HOME='' exec "$explorer" --config-folder) >"$work/app.log" 2>&1 &
    app_pid=$!
    wait_for 15 "the port dialog" has_window "Please Choose A COM Port"
    [[ -d $config ]] || fail "no working folder $config"
    start_sim 2
    port=$(window_named "Please Choose A COM Port")
    click_du "$port" 45 23 146 57  # COM 2
    sleep 0.3
    click_du "$port" 113 14 146 57  # OK
    wait_for_listed_window
    [[ $(cat "$config/mav.cfg") == 2 && ! -e $work/mav.cfg ]] || fail "mav.cfg is not in $config alone"
    exit_by_button
    ;;
  port-choice)
    # No "mav.cfg": the port dialog asks; "COM 3" and OK open the unit linked as COM3, whose
    # digit is saved. Escape then ends the main window.
    start_sim 3
    start_app
    wait_for 15 "the port dialog" has_window "Please Choose A COM Port"
    port=$(window_named "Please Choose A COM Port")
    click_du "$port" 45 34 146 57  # COM 3
    sleep 0.3
    click_du "$port" 113 14 146 57  # OK
    wait_for_listed_window
    [[ $(cat "$work/mav.cfg") == 3 ]] || fail "mav.cfg holds '$(cat "$work/mav.cfg")', expected 3"
    xdotool windowfocus --sync "$main" key Escape
    expect_exit_status 0
    ;;
  context-refresh)
    # A right click on the Removable list opens the context menu; its Refresh (mnemonic R)
    # reads that drive's directory once more, through the progress window.
    start_on_com1
    windows=$(visible_windows)
    click_du "$main" 60 60 377 162 3
    wait_for 10 "the context menu" more_windows_than "$windows"
    xdotool key r
    wait_for 20 "a third directory read" received_at_least '?D' 3
    [[ $(grep '^received: ' "$work/sim.log" | tail -n 3 | head -n 1) == "received: 1SL" ]] ||
      fail "Refresh did not select the Removable Drive"
    wait_for 10 "the progress window to close" at_most_windows "$windows"
    wait_for 10 "the list after Refresh" lists_filled
    exit_by_button
    ;;
  rename)
    # Shift+F10 and "Re&name File" edit the selected row's label; the edit takes at most 12
    # characters, so the 15 typed become a valid name, which Enter sends to the unit.
    start_on_com1
    select_fourth_removable_row
    windows=$(visible_windows)
    xdotool key shift+F10
    wait_for 10 "the context menu" more_windows_than "$windows"
    xdotool key n
    wait_for 10 "the context menu to close" at_most_windows "$windows"
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 20 "vid00099.mpgXYZ"
    xdotool key Return
    wait_for 10 "the rename line" grep -q "^received: VID00004MPGVID00099MPGRN\$" "$work/sim.log"
    exit_by_button
    ;;
  play)
    # Play on a selected clip cues it by its number on the list's drive, then plays it.
    start_on_com1
    select_fourth_removable_row
    click_du "$main" 344 25 377 162  # &Play
    wait_for 10 "the play line" received_at_least PL 1
    [[ $(grep '^received: ' "$work/sim.log" | tail -n 3 | tr '\n' ' ') == "received: 1SL received: 004SE received: PL " ]] ||
      fail "Play sent $(grep '^received: ' "$work/sim.log" | tail -n 3 | tr '\n' ' ')"
    exit_by_button
    ;;
  delete)
    # "&Delete File" from the context menu asks first; Yes deletes the clip on its drive.
    start_on_com1
    select_fourth_removable_row
    windows=$(visible_windows)
    xdotool key shift+F10
    wait_for 10 "the context menu" more_windows_than "$windows"
    xdotool key d
    wait_for 10 "the question" has_window "Delete File\\(s\\)"
    xdotool windowfocus --sync "$(window_named "Delete File\\(s\\)")" key Return
    wait_for 20 "the delete line" grep -q "^received: VID00004MPGDL\$" "$work/sim.log"
    [[ $(grep '^received: ' "$work/sim.log" | tail -n 2 | head -n 1) == "received: 1SL" ]] ||
      fail "the delete was not sent to the Removable Drive"
    sleep 1  # the unit's second reply ends the delete; until then the window takes no click
    exit_by_button
    ;;
  about-keys)
    # The about box follows its template's tab order: Tab from Close reaches "Get Firmware
    # Rev.", and space presses it, which asks the unit for its revision.
    start_on_com1
    click_du "$main" 344 111 377 162  # &About
    wait_for 10 "the about box" has_window "About Dorvik Explorer"
    about=$(window_named "About Dorvik Explorer")
    xdotool windowfocus --sync "$about"
    sleep 0.3
    xdotool key Tab
    sleep 0.3
    xdotool key space
    wait_for 10 "the revision request" received_at_least '?V' 1
    xdotool key Escape
    wait_for 10 "the about box to close" no_window "About Dorvik Explorer"
    exit_by_button
    ;;
  copy-at-once)
    # A unit that ends a copy at once: its completion reply comes right behind the first one.
    # The copied row appears and no communication dialog comes up.
    small_unit
    start_on_com1 --completion-delay 0
    internal=$(green_pixels_in_list "$main" 178)
    copy_first_removable_clip
    wait_for 10 "the copied row" internal_green_above "$internal"
    sleep 0.5
    has_window "Communications Error!" && fail "a communication dialog came up"
    [[ $(received VID00004MPGCI) -eq 1 ]] || fail "the copy line was sent again"
    exit_by_button
    ;;
  copy-wait-repaint)
    # While a copy's completion is waited for, the window still paints: unmapped and mapped
    # again, it shows its lists as before, and the copied row is not there yet.
    small_unit
    start_on_com1 --completion-delay 12000
    internal=$(green_pixels_in_list "$main" 178)
    copy_first_removable_clip
    shots=${SMOKE_SHOTS:-$(dirname "$explorer")/desktop-shots}
    mkdir -p "$shots"
    sleep 1
    shoot_main "$shots/copy-wait-before.png"
    xdotool windowunmap --sync "$main"
    sleep 0.5
    xdotool windowmap --sync "$main"
    sleep 1.5
    shoot_main "$shots/copy-wait-after.png"
    internal_green_above "$internal" && fail "the copy ended before the window was checked"
    # A window left unpainted differs almost everywhere; a painted one only where the focus
    # frame of the selected row went when the window was unmapped.
    differing=$(compare -metric AE -fuzz 10% "$shots/copy-wait-before.png" "$shots/copy-wait-after.png" null: 2>&1 || true)
    pixels=$(identify -format '%[fx:w*h]' "$shots/copy-wait-before.png")
    echo "after the window was mapped again: $differing of its $pixels pixels differ"
    ((differing * 50 < pixels)) || fail "the window was not painted again during the wait (see $shots)"
    wait_for 30 "the copied row" internal_green_above "$internal"
    exit_by_button
    ;;
  ways-out)
    # SIGTERM, SIGHUP and the loss of the display end the program without its destructors:
    # each leaves the port as it found it (no lock, no exclusive mode), status 128 + signal.
    start_on_com1
    not_exclusive 1 && fail "the running program has not made COM1 exclusive"
    kill -TERM "$app_pid"
    expect_exit_status 143
    port_free 1 && not_exclusive 1 || fail "COM1 left held after SIGTERM"
    start_app
    wait_for_listed_window
    kill -HUP "$app_pid"
    expect_exit_status 129
    port_free 1 && not_exclusive 1 || fail "COM1 left held after SIGHUP"
    # A display of its own, which goes away under the running program.
    Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    wait_for 10 "a second display" test -s "$work/display"
    (cd "$work" && DISPLAY=:$(cat "$work/display") exec "$explorer") >"$work/app.log" 2>&1 &
    app_pid=$!
    wait_for 30 "the program to hold COM1" port_locked 1
    wait_for 30 "both listings" received_at_least '?D' 6
    kill "$xvfb_pid"
    wait_for 15 "the program to end with its display" bash -c "! kill -0 $app_pid"
    port_free 1 && not_exclusive 1 || fail "COM1 left held after the display went away"
    ;;
  *)
    echo "unknown scenario: $scenario" >&2
    exit 2
    ;;
esac
echo "PASS ($scenario)"
