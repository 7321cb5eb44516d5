#!/usr/bin/env bash
# The Windows build under Wine beside the Linux build, on one Linux
# regscope-sim (paced at the line's byte time) whose pseudo-terminal is
# Wine's COM1:
#   1. paced reads of ten registers at 9600 bit/s, even parity
#      (line_read_bench): wall per transaction under Wine ÷ on Linux, in
#      alternating rounds;
#   2. Auto Read in RegScope.exe under Wine and Xvfb, at SAMPLE_TIME 0.01 on
#      Test function for SECONDS (60): the ticks the simulator saw, times
#      the sampling time, ÷ the wall clock between the first and the last
#      (the Linux desktop program's own figure: tick_bench_desktop).
# Prints figures; it fails on none of them.
#
#   bench/wine_line.sh [BUILD_WIN [LINUX_BUILD [SECONDS]]]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)
linux_build=$(cd "${2:-$root/build}" && pwd)
seconds=${3:-60}
sim=$linux_build/sim/regscope-sim

export WINEPREFIX=$build/wine-bench
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || wine wineboot --init >/dev/null 2>&1
work=$(mktemp -d)
sim_pid=
cleanup()
{
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# A simulator with COM1 in $work/line, mapped to Wine's COM1.
# shellcheck source=scripts/wine-com1.sh
. "$root/scripts/wine-com1.sh"
start_sim()
{
  rm -rf "$work/line"
  start_com1_sim "$work/line" "$work/sim.log"
}
stop_sim() { stop_com1_sim; }

median()
{
  sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# 1. Paced reads.
if [ -z "${WINE_LINE_SKIP_READS:-}" ]; then
start_sim
echo "paced reads of ten registers at 9600 bit/s, even parity, 100 a round, 5 rounds:"
: >"$work/ratios"
for round in 1 2 3 4 5; do
  lin=$("$linux_build/bench/line_read_bench" "$work/line" 100 | sed -n 's/^median \([0-9.]*\) ms.*/\1/p')
  win=$(wine "$build/line_read_bench.exe" "Z:$work/line" 100 2>/dev/null | tr -d '\r' |
    sed -n 's/^median \([0-9.]*\) ms.*/\1/p')
  echo "  round $round: Linux $lin ms, Wine $win ms"
  [ -n "$lin" ] && [ -n "$win" ] && awk -v a="$win" -v b="$lin" 'BEGIN { print a / b }' >>"$work/ratios"
done
echo "  wall per transaction, Wine ÷ Linux: median $(median <"$work/ratios") of $(wc -l <"$work/ratios") rounds"
stop_sim
fi

# 2. Auto Read at 0.01 s in the desktop program.
folder=$work/desk
mkdir -p "$folder"
start_sim
desk()
{
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$1" _ "$folder" "$build/src/programs/RegScope.exe" \
    "$build/tests/window_probe.exe" "$((seconds + 4))" >/dev/null 2>&1
}
# The program's default files first (its first start), then Test function,
# function 3, ten registers at 115200 bit/s, SAMPLE_TIME 0.01.
desk '
  cd "$1" && wine "$2" >/dev/null 2>&1 &
  for _ in $(seq 120); do
    w=$(xdotool search --name "^Configuration file verify\$" 2>/dev/null | head -n 1)
    [ -n "$w" ] && xdotool windowfocus --sync "$w" key Return && break
    sleep 0.5
  done
  sleep 3
  wineserver -k >/dev/null 2>&1'
sed -i 's/^TOOL=.*\r$/TOOL=FUNCTION_TEST\r/' "$folder/RegScope.ini"
sed -i -e 's/^FUNCTION_TEST_FUN=.*\r$/FUNCTION_TEST_FUN=3\r/' \
  -e 's/^FUNCTION_TEST_3_QTY=.*\r$/FUNCTION_TEST_3_QTY=10\r/' \
  -e 's/^SERIAL_BAUD=.*\r$/SERIAL_BAUD=115200\r/' \
  -e 's/^SAMPLE_TIME=.*\r$/SAMPLE_TIME=0.01\r/' "$folder/RegScope.cfg"
desk '
  cd "$1" && wine "$2" >/dev/null 2>&1 &
  for _ in $(seq 120); do
    xdotool search --name "^RegScope" >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 2
  wine "$3" click RegScope OK && sleep 1 && wine "$3" click RegScope "Auto Read"
  sleep "$4"
  wineserver -k >/dev/null 2>&1'
stop_sim
echo "Auto Read in RegScope.exe under Wine, SAMPLE_TIME 0.01, ten registers at 115200 bit/s:"
# The requests at 115200 bit/s, after two seconds of warm-up, for SECONDS.
awk -v s="$seconds" '
  /^# / { fast = ($2 == 115200) }
  fast && / TX 01 03 00 00 00 0A / {
    t = $1
    if (first == "") first = t
    if (t - first < 2) next
    if (start == "") start = t
    if (t - start > s) exit
    n++; last = t
  }
  END {
    if (n < 2) { print "  no Auto Read seen"; exit }
    wall = last - start; counted = (n - 1) * 0.01
    printf "  %d ticks in %.3f s: %.3f s counted, %+.4f %% against the wall clock\n", n, wall, counted, (counted - wall) / wall * 100
  }' "$work/sim.log"
[ -n "${WINE_LINE_KEEP_LOG:-}" ] && cp "$work/sim.log" "$WINE_LINE_KEEP_LOG"
