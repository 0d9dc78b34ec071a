#!/usr/bin/env bash
# Stands in for dorvik-explorer in the desktop smoke tests (tests/desktop/smoke.sh): points
# Wine's COM1 to COM4 at the COMn links of the current folder, as the Linux program would
# open them (a link made later is found when the port is opened), and runs the Windows
# program there under Wine with its arguments and its exit status.
# Needs WINEPREFIX (a prefix already made) and DORVIK_EXE (the program).
set -euo pipefail
for number in 1 2 3 4; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$number" /t REG_SZ /d "$PWD/COM$number" /f >/dev/null 2>&1
done
wineserver -w  # Wine makes the port links from the registry when a wineserver starts
exec wine "$DORVIK_EXE" "$@"
