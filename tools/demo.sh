#!/usr/bin/env bash
# Installs what is needed, builds the program and the unit simulator, and runs the program
# against a simulated unit seeded with sim/demo.manifest, in the folder build/demo/.
#
#   bash tools/demo.sh            replies as fast as the pseudo-terminal carries them
#   bash tools/demo.sh --paced    replies at the real line rate, 9600 baud (a listing takes
#                                 about 17 s per drive, as with a real unit)
#
# With a display the window opens for you; close it (Exit) to end the demo. Without one the
# same runs under Xvfb, a screenshot of the main window after the listing is saved to
# build/demo/explorer.png, and the demo ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

paced=()
[[ "${1:-}" == "--paced" ]] && paced=(--paced)

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target dorvik-explorer dorvik-unit-sim

run="$root/build/demo"
mkdir -p "$run"
cd "$run"
printf 1 > mav.cfg  # COM1, the simulator's link below

"$root/build/dorvik-unit-sim" --manifest "$root/sim/demo.manifest" --link "$run:1" --log "${paced[@]}" \
  > unit.log 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -e COM1 ]] && break; sleep 0.1; done

if [[ -n "${DISPLAY:-}" ]]; then
  "$root/build/dorvik-explorer"
  exit 0
fi

echo "No display: running under Xvfb and saving a screenshot."
bash "$root/tools/xvfb.sh" bash -c '
  "$1/build/dorvik-explorer" &
  program=$!
  # The window is ready once both directories were listed and the window has painted.
  for _ in $(seq 600); do
    [[ $(grep -c "?D" unit.log) -ge 2 ]] && break
    sleep 0.2
  done
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^Dorvik Explorer$" 2>/dev/null | head -n 1) && [[ -n "$window" ]] && break
    sleep 0.2
  done
  sleep 2
  if [[ -n "$window" ]]; then
    import -window "$window" explorer.png
  else
    import -window root explorer.png
  fi
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null || true
' _ "$root"
echo "Screenshot: $run/explorer.png"
