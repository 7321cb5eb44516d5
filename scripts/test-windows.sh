#!/usr/bin/env bash
# The Windows programs (make windows) under Wine, on this Linux machine:
#   0. the unit tests that need neither a pseudo-terminal nor a second user;
#   1. every scenario that needs no pseudo-terminal, run by
#      regscope-script.exe (Windows has none; the others are counted as
#      skipped);
#   2. the serial line: COM1 of Wine mapped to the pseudo-terminal of the
#      Linux regscope-sim, reads, writes, an exception, a time-out and a
#      garbled reply at 9600 8E1, 19200 8O1 and 115200 8N2, and the line
#      settings the simulator saw;
#   3. the network lines, Modbus TCP and RTU over TCP, to the same simulator,
#      and Modbus TCP to a slave built on libmodbus (when the Linux build has
#      libmodbus_tcp_peer);
#   4. the desktop program under Xvfb: it starts, shows its first-start box
#      and its window; started again on Test function, its Read button
#      reads the ten demo registers of the Linux simulator over COM1, and
#      the screenshots of both starts are kept and their text pixels
#      checked;
#   5. the installer: a silent install, the installed programs (the script
#      runner runs a scenario, the desktop program shows its first-start
#      box), the silent uninstall that removes them again.
# Exit code 0 when everything held.
#
#   scripts/test-windows.sh BUILD_WIN LINUX_BUILD
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)
linux_build=$(cd "${2:-$root/build}" && pwd)
# shellcheck source=scripts/wine-com1.sh
. "$root/scripts/wine-com1.sh"
version=$(sed -n 's/^project(RegScope VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

script_exe=$build/src/programs/regscope-script.exe
desktop_exe=$build/src/programs/RegScope.exe
setup_exe=$build/RegScope-$version-setup.exe
sim=$linux_build/sim/regscope-sim
for f in "$script_exe" "$desktop_exe" "$setup_exe" "$sim"; do
  [ -f "$f" ] || {
    echo "test-windows: $f is missing (make windows, make build)" >&2
    exit 1
  }
done
for tool in wine xvfb-run xdotool import; do
  command -v $tool >/dev/null || {
    echo "test-windows: $tool is missing (scripts/install-deps.sh --windows)" >&2
    exit 1
  }
done

# A Wine prefix of its own, made afresh, so that the user's is left alone
# and nothing of an earlier run is found.
export WINEPREFIX=$build/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wine wineboot --init >/dev/null 2>&1
work=$(mktemp -d)
sim_pid=
peer_pid=
cleanup()
{
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
fail()
{
  echo "FAILED: $*"
  failed=$((failed + 1))
}

phase_start=0
phase() {
  phase_start=$(date +%s)
  echo "== $1"
}
phase_done() {
  echo "== $1: $(($(date +%s) - phase_start)) s"
}

# 0. The unit tests that run on Windows, each test case in a process of its
# own as on Linux (they keep process-wide state).
phase "unit tests"
cases=0
for exe in "$build"/tests/unit/*.exe; do
  for name in $(wine "$exe" --gtest_list_tests 2>/dev/null | tr -d '\r' | awk '
      /^[^ ]/ { suite = $1; next }
      /^  [^ ]/ { print suite $1 }'); do
    cases=$((cases + 1))
    if ! out=$(timeout 120 wine "$exe" --gtest_filter="$name" 2>&1); then
      fail "$(basename "$exe") $name"
      echo "$out" | grep -v "^\[" | tail -n 8
    fi
  done
done
[ "$cases" -gt 0 ] || fail "no unit tests found in $build/tests/unit"
echo "unit tests under Wine: $cases test cases"
phase_done "unit tests"

# 1. The scenarios.
phase "scenarios"
# Scenarios that check a text of the system's own: Windows words its
# errors otherwise ("Path not found" for "No such file or directory").
system_texts="setup_commands.scn"
passed=0 skipped=0 worded=0
for scenario in "$root"/tests/scenarios/*.scn; do
  if grep -q '^sim start' "$scenario" && ! grep -q '^sim start.*no-pty' "$scenario"; then
    skipped=$((skipped + 1))
    continue
  fi
  if [[ " $system_texts " == *" $(basename "$scenario") "* ]]; then
    worded=$((worded + 1))
    continue
  fi
  if out=$(timeout 300 wine "$script_exe" "Z:$scenario" 2>&1); then
    passed=$((passed + 1))
  else
    fail "$(basename "$scenario")"
    echo "$out" | tail -n 5
  fi
done
echo "scenarios under Wine: $passed passed, $skipped skipped (they need a pseudo-terminal)," \
  "$worded skipped (the system's words)"
phase_done "scenarios"

# 2. The serial line through Wine's COM port mapping.
phase "serial line"
mkdir -p "$work/line-run"
start_com1_sim "$work/line" "$work/sim.log" --slave-line 20,19200,1,garbage --tcp 0 --rtu-tcp 0
wineserver -w 2>/dev/null
if out=$(timeout 120 wine "$script_exe" --dir "Z:$work/line-run" \
  "Z:$root/tests/windows/serial_line.scn" 2>&1); then
  :
else
  fail "serial_line.scn"
  echo "$out" | tail -n 5
fi
phase_done "serial line"

# 3. The network lines, to the same simulator's ports.
phase "network lines"
tcp=$(sed -n 's|^Modbus TCP on tcp://127.0.0.1:\([0-9]*\).*|\1|p' "$work/sim.log")
rtu_tcp=$(sed -n 's|^RTU over TCP on rtu-tcp://127.0.0.1:\([0-9]*\).*|\1|p' "$work/sim.log")
sed -e "s/@TCP@/$tcp/g" -e "s/@RTU_TCP@/$rtu_tcp/g" "$root/tests/windows/network_line.scn" \
  >"$work/network_line.scn"
mkdir -p "$work/net-run"
if ! out=$(timeout 120 wine "$script_exe" --dir "Z:$work/net-run" "Z:$work/network_line.scn" 2>&1); then
  fail "network_line.scn"
  echo "$out" | tail -n 5
fi
sleep 0.5
stop_com1_sim
for settings in "9600 bit/s even parity" "19200 bit/s odd parity" "115200 bit/s no parity 2 stop bits"; do
  grep -q "^# $settings\$" "$work/sim.log" || fail "the simulator never saw $settings"
done
peer=$linux_build/tests/integration/libmodbus_tcp_peer
if [ -x "$peer" ]; then
  "$peer" >"$work/peer.log" 2>&1 &
  peer_pid=$!
  for _ in $(seq 50); do
    grep -q "^port " "$work/peer.log" && break
    sleep 0.1
  done
  sed "s/@PEER@/$(sed -n 's/^port //p' "$work/peer.log")/g" "$root/tests/windows/libmodbus_line.scn" \
    >"$work/libmodbus_line.scn"
  mkdir -p "$work/peer-run"
  if ! out=$(timeout 120 wine "$script_exe" --dir "Z:$work/peer-run" "Z:$work/libmodbus_line.scn" 2>&1); then
    fail "libmodbus_line.scn"
    echo "$out" | tail -n 5
  fi
  kill "$peer_pid" 2>/dev/null
  wait "$peer_pid" 2>/dev/null
  peer_pid=
else
  fail "$peer is missing (libmodbus-dev)"
fi
phase_done "network lines"

# 4. The desktop program: first start in an empty folder.
phase "desktop"
desk=$work/desktop
mkdir -p "$desk"
shot=$build/windows-desktop.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1" && wine "$2" >/dev/null 2>&1 &
  find_window() {
    for _ in $(seq 120); do
      w=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
      [ -n "$w" ] && return 0
      sleep 0.5
    done
    return 1
  }
  # The first start in an empty folder says that it made the files.
  if find_window "^Configuration file verify\$"; then
    echo "first-start box"
    sleep 1
    import -window root "${3%.png}-first.png"
    xdotool windowfocus --sync "$w" key Return
  fi
  if find_window "^RegScope"; then
    sleep 2
    xdotool getwindowname "$w"
    import -window root "$3"
  fi
  wineserver -k
' _ "$desk" "$desktop_exe" "$shot" >"$work/windows.txt" 2>&1
cat "$work/windows.txt"
grep -q "^first-start box" "$work/windows.txt" || fail "RegScope.exe showed no first-start box"
grep -q "^RegScope" "$work/windows.txt" || fail "RegScope.exe showed no window"
[ -f "$desk/RegScope.ini" ] && [ -f "$desk/RegScope.cfg" ] ||
  fail "RegScope.exe made no RegScope.ini and RegScope.cfg in its start folder"
# Text on the screen: a screenshot of an empty desktop is one colour.
colours=$(convert "$shot" -format %k info: 2>/dev/null || echo 0)
[ "${colours:-0}" -gt 16 ] || fail "the screenshot shows no window ($colours colours)"

# Started again on Test function, Read Holding Registers 0 to 9, with the
# Linux simulator on COM1 at the default 9600 bit/s, even parity.
sed -i 's/^TOOL=.*\r$/TOOL=FUNCTION_TEST\r/' "$desk/RegScope.ini"
sed -i -e 's/^FUNCTION_TEST_FUN=.*\r$/FUNCTION_TEST_FUN=3\r/' \
  -e 's/^FUNCTION_TEST_3_QTY=.*\r$/FUNCTION_TEST_3_QTY=10\r/' "$desk/RegScope.cfg"
start_com1_sim "$work/desk-line" "$work/desk-sim.log"
read_shot=$build/windows-desktop-read.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1" && wine "$2" >/dev/null 2>&1 &
  for _ in $(seq 120); do
    w=$(xdotool search --name "^RegScope" 2>/dev/null | head -n 1)
    [ -n "$w" ] && break
    sleep 0.5
  done
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$w")"
  echo "crop ${WIDTH}x${HEIGHT}+$X+$Y"
  # The buttons as a hand presses them: OK opens the function, Read reads.
  wine "$4" click RegScope OK && sleep 1 && import -window root "${3%.png}-before.png" &&
    wine "$4" click RegScope Read && wine "$4" text RegScope " > " 20
  sleep 1
  import -window root "$3"
  wineserver -k
' _ "$desk" "$desktop_exe" "$read_shot" "$build/tests/window_probe.exe" >"$work/read.txt" 2>&1
stop_com1_sim
bits() {
  local b="" v=$1
  for _ in 1 2 3 4 5 6 7 8; do
    b=$((v & 1))$b
    v=$((v >> 1))
  done
  echo "$b"
}
expected=""
for i in $(seq 0 9); do
  v=$((111 * (i + 1)))
  expected+="$(printf '%05d > %05d   %s.%s ' "$i" "$v" "$(bits $((v >> 8)))" "$(bits $((v & 255)))")"$'\n'
done
got=$(tr -d '\r' <"$work/read.txt" | grep ' > ' | sed 's/^ *//')
[ "$got" = "${expected%$'\n'}" ] ||
  { fail "Test function read no ten demo registers over COM1"; cat "$work/read.txt"; }
grep -q "TX 01 03 00 00 00 0A C5 CD" "$work/desk-sim.log" && grep -q "^# 9600 bit/s even parity" "$work/desk-sim.log" ||
  fail "the simulator saw no read of ten registers at 9600 bit/s, even parity"
# The listing's text on the screen: many more dark pixels in the window
# than before the read.
crop=$(sed -n 's/^crop //p' "$work/read.txt")
dark() { convert "$1" -crop "$crop" -colorspace Gray -threshold 35% -format '%[fx:int(w*h*(1-mean))]' info: 2>/dev/null || echo 0; }
before=$(dark "${read_shot%.png}-before.png")
after=$(dark "$read_shot")
echo "dark pixels in the window: $before before the read, $after after"
[ "${after:-0}" -gt $((${before:-0} + 1000)) ] || fail "the read's text is not on the screen"
phase_done "desktop"

# 5. The installer, silently, per user.
phase "installer"
if ! timeout 120 wine "$setup_exe" /S >/dev/null 2>&1; then
  fail "the installer failed"
fi
wineserver -w
appdata=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
installed=$(winepath -u "$appdata\\Programs\\RegScope" 2>/dev/null)
for f in RegScope.exe regscope-sim.exe regscope-script.exe Uninstall.exe demo/RegScope.cfg; do
  [ -f "$installed/$f" ] || fail "the installer did not install $f"
done
menu=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\RegScope" 2>/dev/null)
for f in "RegScope.lnk" "RegScope demo.lnk"; do
  [ -f "$menu/$f" ] || fail "no Start menu entry $f"
done
# The installed script runner runs a scenario.
timeout 120 wine "$installed/regscope-script.exe" "Z:$root/tests/scenarios/first_start.scn" \
  >/dev/null 2>&1 || fail "the installed regscope-script.exe failed first_start.scn"
# The installed desktop program starts: its first-start box in an empty folder.
# The Wine processes started above without an X display must be gone first:
# a window program that joins them finds no display driver.
mkdir -p "$work/installed-run"
wineserver -k >/dev/null 2>&1
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1" && wine "$2" >/dev/null 2>&1 &
  for _ in $(seq 120); do
    xdotool search --name "^Configuration file verify\$" >/dev/null 2>&1 && echo started && break
    sleep 0.5
  done
  wineserver -k
' _ "$work/installed-run" "$installed/RegScope.exe" >"$work/installed.txt" 2>&1
grep -q "^started" "$work/installed.txt" || fail "the installed RegScope.exe showed no window"
timeout 120 wine "$installed/Uninstall.exe" /S >/dev/null 2>&1
wineserver -w
# The uninstaller copies itself away and runs from there: wait for it.
for _ in $(seq 60); do
  [ -e "$installed" ] || break
  sleep 0.5
done
[ ! -e "$installed" ] || fail "the uninstaller left $(ls "$installed" | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu folder"
phase_done "installer"

if [ "$failed" -ne 0 ]; then
  echo "test-windows: $failed failed"
  exit 1
fi
echo "test-windows: all held"
