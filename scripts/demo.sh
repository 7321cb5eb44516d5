#!/usr/bin/env bash
# Opens RegScope on a simulated bus: a Modbus RTU slave simulator serves a
# pseudo-terminal linked as COM1 in ./demo, and the program runs in that
# folder. The simulator stops when the program closes.
#
# Only the program and the simulator are built (not the tests), and the
# display is checked first, so that a machine without one says so at once
# instead of after the build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
demo="$root/demo"

say() { echo "demo: $*"; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  say "no display to open the window on (run it from a desktop session)" >&2
  exit 1
fi

say "checking the Debian packages the build needs"
bash "$root/scripts/install-deps.sh"

say "configuring the build in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
say "building regscope and regscope-sim only (a few minutes the first time, on $(nproc) cores)"
cmake --build "$build" -j "$(nproc)" --target regscope regscope-sim

mkdir -p "$demo"
cp "$root/scripts/analyzer-demo.cfg" "$demo/Analyzer.cfg" # eight live channels (README: Try first)
rm -f "$demo/COM1"
# A generic slave at address 1 with visible values, and a module in
# configuration mode for the Configure module tool that opens first, and the
# module models at 2 to 10 for the Test module tool (README: Demo bus).
say "starting the bus simulator in $demo"
# The same slaves also answer over the network on this machine alone
# (README: Network lines).
# A slave at 20 set to 19200 bit/s, odd parity, shows the scan a garbled reply
# (README: Scanning the bus).
"$build/sim/regscope-sim" --folder "$demo" --port 1 --slaves 1 --demo --config-module --models \
  --slave-line 20,19200,1,garbage --tcp 1502 --rtu-tcp 1503 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT

# The link appears once the simulator serves its pseudo-terminal.
for _ in $(seq 50); do
  [ -e "$demo/COM1" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    say "the simulator did not start" >&2
    exit 1
  fi
  sleep 0.1
done
[ -e "$demo/COM1" ] || { say "no COM1 link in $demo" >&2; exit 1; }

say "COM1 in $demo: a generic slave at 1, module models at 2 to 10; starting RegScope"
say "the same bus as Modbus TCP on tcp://127.0.0.1:1502, as RTU over TCP on rtu-tcp://127.0.0.1:1503"
say "closing the window stops the simulator"
cd "$demo"
"$build/src/programs/regscope"
