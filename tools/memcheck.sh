#!/usr/bin/env bash
# Runs one desktop smoke test (tests/desktop/smoke.sh) with the program under valgrind's
# memcheck, against the unit simulator under a virtual X server. Reports from the toolkit's
# libraries are suppressed (tools/valgrind.supp); any report left comes from the program's own
# code and fails the run, as does the smoke test itself.
#   tools/memcheck.sh [scenario]     default start-exit; built program in ${BUILD_DIR:-build}
set -euo pipefail
cd "$(dirname "$0")/.."

scenario=${1:-start-exit}
build=$PWD/${BUILD_DIR:-build}
for program in dorvik-explorer dorvik-unit-sim; do
  [[ -x $build/$program ]] || { echo "memcheck: $build/$program not built (DORVIK_DESKTOP=ON)" >&2; exit 2; }
done
command -v valgrind >/dev/null || { echo "memcheck: valgrind is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# smoke.sh starts the program it is given: hand it the program wrapped in valgrind.
cat >"$work/explorer" <<WRAPPER
#!/usr/bin/env bash
exec valgrind --tool=memcheck --error-exitcode=97 --leak-check=full \\
  --show-leak-kinds=definite,possible --errors-for-leak-kinds=definite,possible \\
  --num-callers=30 --suppressions="$PWD/tools/valgrind.supp" --log-file="$work/memcheck.log" \\
  "$build/dorvik-explorer" "\$@"
WRAPPER
chmod +x "$work/explorer"

status=0
SMOKE_SLOWDOWN=4 bash tools/xvfb.sh \
  bash tests/desktop/smoke.sh "$scenario" "$work/explorer" "$build/dorvik-unit-sim" sim/demo.manifest || status=$?
summary=$(grep -h "ERROR SUMMARY" "$work/memcheck.log" | tail -n 1 | sed 's/^==[0-9]*== //')
echo "memcheck ($scenario): ${summary:-no valgrind summary}"
if [[ $status -ne 0 || $summary != "ERROR SUMMARY: 0 errors"* ]]; then
  # What is left after the suppressions is the program's own: show it.
  cat "$work/memcheck.log" >&2
  exit 1
fi
