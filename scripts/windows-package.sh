#!/usr/bin/env bash
# Packs the cross-built Windows programs (make windows) into
# RegScope-<version>-win64.zip and the per-user installer
# RegScope-<version>-setup.exe (packaging/windows/RegScope.nsi, Debian's
# nsis), both in the build folder.
#
#   scripts/windows-package.sh BUILD_WIN DEPS_FOLDER
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
deps=$2
version=$(sed -n 's/^project(RegScope VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
stage=$build/stage
name=RegScope-$version-win64

for tool in zip makensis; do
  command -v $tool >/dev/null || {
    echo "windows-package: $tool is missing (scripts/install-deps.sh --windows)" >&2
    exit 1
  }
done

rm -rf "$stage"
mkdir -p "$stage/licences" "$stage/demo"
cp "$build/src/programs/RegScope.exe" "$build/src/programs/regscope-script.exe" \
  "$build/sim/regscope-sim.exe" "$stage/"
# Text files with Windows line ends, so that Notepad shows them as lines.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf "$root/README.md" "$stage/README.txt"
for f in "$deps"/*-licence.txt "$deps"/*-COPYING*; do
  crlf "$f" "$stage/licences/$(basename "$f").txt"
done
# The compiler's runtime (C, C++ and threads) is linked into each program.
crlf /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64-runtime.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-runtime.txt"
{
  echo "RegScope $version for 64-bit Windows"
  echo
  echo "The programs are linked with these libraries, each under its own licence"
  echo "(the texts are in the folder licences):"
  echo "  wxWidgets $(sed -n 's/^wxwidgets \([^:]*\):.*/\1/p' "$deps/BUILD-INFO")  wxWindows Library Licence"
  echo "  cairo $(sed -n 's/^cairo \([^:]*\):.*/\1/p' "$deps/BUILD-INFO")  LGPL 2.1 or MPL 1.1"
  echo "  pixman $(sed -n 's/^pixman \([^:]*\):.*/\1/p' "$deps/BUILD-INFO")  MIT"
  echo "  the mingw-w64 runtime and the GCC runtime libraries (GCC Runtime Library Exception)"
} | sed 's/$/\r/' >"$stage/LICENCES.txt"

# The demo's folder: the Analyzer's eight live channels, on the Modbus TCP
# port the Start menu's "RegScope demo" serves.
sed -e 's|^CFG_FILE=.*|CFG_FILE=RegScope.cfg|' -e 's|^TOOL=.*|TOOL=ANALYZER|' \
  "$root/tests/unit/golden/RegScope.ini" | sed 's/\r*$/\r/' >"$stage/demo/RegScope.ini"
awk '{ print } /^\[General configuration\]/ { print "SERIAL_NET=tcp://127.0.0.1:1502" }' \
  "$root/scripts/analyzer-demo.cfg" | sed 's/\r*$/\r/' >"$stage/demo/RegScope.cfg"

# The zip has no Start menu: the demo starts from a command file.
printf '%s\r\n' '@echo off' 'rem RegScope on the simulated bus: closing RegScope stops the simulator.' \
  'cd /d "%~dp0demo"' \
  'start "RegScope demo bus" /min "%~dp0regscope-sim.exe" --no-pty --slaves 1 --demo --models --tcp 1502 --rtu-tcp 1503 --open "%~dp0RegScope.exe"' \
  >"$stage/RegScope demo.cmd"
rm -f "$build/$name.zip"
(cd "$stage" && zip -q -X -r "$build/$name.zip" .)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" \
  -DOUTFILE="$build/RegScope-$version-setup.exe" "$root/packaging/windows/RegScope.nsi"
echo "$build/$name.zip"
echo "$build/RegScope-$version-setup.exe"
