#!/usr/bin/env bash
# Runs the cross-built regscope-script.exe (make windows) under Wine on
# every scenario that needs no pseudo-terminal: Windows has none, so a
# scenario whose simulator is started without `no-pty` is skipped and
# counted as such. Exit code 0 when every scenario run held.
set -uo pipefail
cd "$(dirname "$0")/.."

exe=build-win/src/programs/regscope-script.exe
if [ ! -f "$exe" ]; then
  echo "test-windows: $exe is missing (make windows)" >&2
  exit 1
fi
command -v wine >/dev/null || {
  echo "test-windows: wine is not installed (apt-get install wine wine64)" >&2
  exit 1
}
# A Wine prefix of its own, so that the user's is left alone.
export WINEPREFIX=${WINEPREFIX:-$PWD/build-win/wine}
export WINEDEBUG=-all
wine wineboot --init >/dev/null 2>&1

passed=0 failed=0 skipped=0
for scenario in tests/scenarios/*.scn; do
  if grep -q '^sim start' "$scenario" && ! grep -q '^sim start.*no-pty' "$scenario"; then
    skipped=$((skipped + 1))
    continue
  fi
  if out=$(timeout 300 wine "$exe" "Z:$PWD/$scenario" 2>&1); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $scenario:"
    echo "$out" | tail -n 3
  fi
done
echo "scenarios under Wine: $passed passed, $failed failed, $skipped skipped (need a pty)"
[ "$failed" -eq 0 ]
