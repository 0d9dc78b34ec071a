#!/usr/bin/env bash
# Builds the Debian package from a build folder (default build/, configured and built), installs
# it as a user would, checks what it put in place, starts the installed window against the
# installed simulator under Xvfb (as the menu starts it, and from a folder with mav.cfg), ends
# it with Exit, and removes the package again.
#   tools/package-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

bash tools/install-deps.sh package
echo "== Debian package"
rm -f "$build"/dorvik-explorer_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/dorvik-explorer_*.deb)
dpkg-deb --field "$deb" Package Version Depends

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq dorvik-explorer >/dev/null' EXIT

for program in dorvik-explorer dorvik-unit-sim dorvik; do
  [[ $(command -v "$program") == /usr/bin/$program ]] || { echo "FAIL: $program is not installed in /usr/bin"; exit 1; }
  "$program" --version
  "$program" --help >/dev/null
  man -w "$program" >/dev/null
  # The page reads whole in an 80-column terminal: no groff warning, no line broken past it.
  page=$(MANWIDTH=80 man --warnings "$program" 2>&1 >/dev/null)
  [[ -z $page ]] || { echo "FAIL: man $program warns: $page"; exit 1; }
  page=$(MANWIDTH=80 man "$program" 2>/dev/null)
  [[ -z $(grep '^.\{81,\}' <<<"$page") ]] || { echo "FAIL: man $program has lines past 80 columns"; exit 1; }
done
entry=/usr/share/applications/dorvik-explorer.desktop
desktop-file-validate "$entry"
grep -qx 'Exec=dorvik-explorer --config-folder' "$entry" || { echo "FAIL: the menu entry's command"; exit 1; }
for size in 16 32 48 64 128 256; do
  [[ $(identify -format %wx%h "/usr/share/icons/hicolor/${size}x${size}/apps/dorvik-explorer.png") == "${size}x$size" ]] ||
    { echo "FAIL: the ${size}x$size icon"; exit 1; }
done

for scenario in menu-start start-exit; do
  bash tools/xvfb.sh bash tests/desktop/smoke.sh "$scenario" /usr/bin/dorvik-explorer /usr/bin/dorvik-unit-sim \
    /usr/share/dorvik-explorer/demo.manifest
done
echo "package: installed, checked and started"
