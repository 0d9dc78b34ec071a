#!/usr/bin/env bash
# Tests the Windows packages as tools/package-test.sh tests the Debian one, after
# tools/windows-test.sh has built them (build-windows/) and made its Wine prefix: the zip holds
# the two programs and the README; the installer (/S) puts them in place with a Start-menu
# entry, dorvik.exe answers from there, the window starts as that entry starts it (the
# menu-start smoke scenario against the simulator of the Linux build, argument 1, default
# build/), and the uninstaller removes it all; then the same for all users (/AllUsers).
# Ends with the line "windows package: N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_build=$(realpath -m "${1:-build}")
simulator=$linux_build/dorvik-unit-sim
[[ -x $simulator ]] || simulator=$root/build-windows/host/dorvik-unit-sim
source tools/wine-prefix.sh

passed=0 failed=0
# check DESCRIPTION COMMAND...: counts and tells whether the command succeeded.
check() {
  local what=$1
  shift
  if "$@"; then
    ((++passed))
    echo "$what: ok"
  else
    ((++failed))
    echo "$what: FAILED"
  fi
}

installer=$(echo "$out"/pack/windows/dorvik-explorer-*-setup.exe)
zip=$(echo "$out"/pack/windows/dorvik-explorer-*-windows.zip)
zip_holds_programs() { [[ $(cmake -E tar tf "$zip" | sort | tr '\n' ' ') == "README.txt dorvik-explorer.exe dorvik.exe " ]]; }
check "the zip holds the two programs and the README alone" zip_holds_programs

# in_place FOLDER SHORTCUT: both programs in FOLDER and the Start-menu entry there.
in_place() { [[ -f $1/dorvik-explorer.exe && -f $1/dorvik.exe && -f $2 ]]; }
# uninstalled FOLDER SHORTCUT [/AllUsers]: runs the uninstaller; true when neither the folder
# nor the Start-menu entry is left.
uninstalled() {
  wine "$1/uninstall.exe" /S "${@:3}" >>"$wine_log" 2>&1
  wineserver -w
  sleep 1  # the uninstaller runs a copy of itself that removes the folder
  [[ ! -e $1 && ! -e $2 ]]
}
answers_version() { wine "$1/dorvik.exe" --version 2>>"$wine_log" | tr -d '\r' | grep -q '^dorvik [0-9]'; }
starts_from_menu() {
  DORVIK_EXE=$1/dorvik-explorer.exe SMOKE_UNDER_WINE=1 bash tools/xvfb.sh bash tests/desktop/smoke.sh menu-start \
    "$root/tests/windows/wine-explorer.sh" "$simulator" "$root/sim/demo.manifest" >"$out/desktop-menu-start.log" 2>&1 ||
    { tail -n 30 "$out/desktop-menu-start.log"; return 1; }
}

echo "== Installed for the current user"
wine "$installer" /S >>"$wine_log" 2>&1
wineserver -w
shortcut=$(find "$WINEPREFIX/drive_c/users" -name 'Dorvik Explorer.lnk' | head -n 1)
folder=$(dirname "$(find "$WINEPREFIX/drive_c/users" -path '*/Dorvik Explorer/dorvik-explorer.exe' | head -n 1)")
check "programs and Start-menu entry in ${folder#"$WINEPREFIX/"}" in_place "$folder" "$shortcut"
check "installed dorvik.exe --version" answers_version "$folder"
check "installed window started as the Start-menu entry starts it" starts_from_menu "$folder"
check "uninstalled" uninstalled "$folder" "$shortcut"

echo "== Installed for all users"
folder="$WINEPREFIX/drive_c/Program Files/Dorvik Explorer"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorvik Explorer.lnk"
wine "$installer" /S /AllUsers >>"$wine_log" 2>&1
wineserver -w
check "programs in Program Files, entry in the common Start menu" in_place "$folder" "$shortcut"
check "uninstalled for all users" uninstalled "$folder" "$shortcut" /AllUsers

echo "windows package: $passed passed, $failed failed"
((failed == 0))
