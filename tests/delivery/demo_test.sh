#!/usr/bin/env bash
# `make demo` runs only the demo script (no build of the tests first), and the
# script says there is no display before it configures or builds anything.
set -euo pipefail
root=$1
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT

# `make -n` lists the commands make would run for the demo.
make -n -C "$root" demo >"$fake/plan"
if grep -q "cmake" "$fake/plan"; then
  echo "make demo builds before the demo script runs:" >&2
  cat "$fake/plan" >&2
  exit 1
fi

# A cmake that only records that it was called.
printf '#!/bin/sh\necho "cmake $*" >>"%s/calls"\n' "$fake" >"$fake/cmake"
chmod +x "$fake/cmake"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY PATH="$fake:$PATH" bash "$root/scripts/demo.sh" >"$fake/out" 2>&1
rc=$?
set -e
cat "$fake/out"
[ "$rc" -ne 0 ] || { echo "the demo went on without a display" >&2; exit 1; }
grep -q "no display" "$fake/out" || { echo "no word about the display" >&2; exit 1; }
[ ! -e "$fake/calls" ] || { echo "configured or built before checking the display:" >&2; cat "$fake/calls" >&2; exit 1; }
