#!/usr/bin/env bash
# Stands in for dorvik-explorer in the desktop smoke tests (tests/desktop/smoke.sh): points
# Wine's COM1 to COM4 at the COMn links of the current folder, as the Linux program would
# open them (a link made later is found when the port is opened), and runs the Windows
# program there under Wine with its arguments and its exit status.
#
# The test display has no window manager, and Wine waits up to 2 s, each time a window with a
# caption hides (a dialog closing, the progress window going), for one to withdraw it. With
# WINE_UNMANAGED=1 Wine leaves its windows unmanaged and draws their frames itself, so nothing
# waits; the smoke tests keep them managed, as they click at places in the client area that
# they compute from the window's size.
# Needs WINEPREFIX (a prefix already made) and DORVIK_EXE (the program).
set -euo pipefail
settings=$(mktemp --suffix=.reg)
{
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
  for number in 1 2 3 4; do printf '"COM%s"="%s"\n' "$number" "$PWD/COM$number"; done
  printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="%s"\n' "$([[ ${WINE_UNMANAGED:-} == 1 ]] && echo N || echo Y)"
} >"$settings"
wine reg import "Z:$settings" >/dev/null 2>&1
rm -f "$settings"
wineserver -w  # Wine makes the port links from the registry when a wineserver starts
exec wine "$DORVIK_EXE" "$@"
