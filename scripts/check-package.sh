#!/usr/bin/env bash
# Checks the Debian package made from a build folder: it holds the three
# programs, the desktop entry, the icon and the README, declares its runtime
# dependencies, and once installed (into a scratch root) runs a scenario
# without a window. Usage: check-package.sh BUILD_FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "package: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/regscope_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no regscope_*.deb made"
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for path in ./usr/bin/regscope ./usr/bin/regscope-sim ./usr/bin/regscope-script \
            ./usr/share/applications/regscope.desktop \
            ./usr/share/icons/hicolor/scalable/apps/regscope.svg \
            ./usr/share/icons/hicolor/48x48/apps/regscope.png \
            ./usr/share/doc/regscope/README.md; do
  grep -qxF "$path" "$work/contents" || fail "missing $path"
done

[ "$(dpkg-deb -f "$deb" Package)" = regscope ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libstdc++6 libwxgtk3.2 libgtk-3-0 fonts-liberation; do
  case ", $depends" in
    *", $needed"*) ;;
    *) fail "Depends lacks $needed: $depends" ;;
  esac
done
# Every dependency names a package this machine has: the list is one a
# Debian system can satisfy.
for name in $(echo "$depends" | tr ',' '\n' | sed 's/|.*//; s/(.*//; s/ //g'); do
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $name is no installed package here"
done

# Installed into a scratch root with dpkg's own database there (the
# libraries come from this machine).
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
if [ "$(id -u)" -eq 0 ]; then
  dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg -i into the scratch root failed"; }
  dpkg --root="$root" -s regscope | grep -q "^Status: install ok installed" ||
    fail "not recorded as installed in the scratch root"
else
  dpkg-deb -x "$deb" "$root"
fi

# The installed scenario runner starts the program without a window.
mkdir -p "$work/run"
printf 'start\nexpect title "RegScope [$DIR/RegScope.cfg]"\n' >"$work/check.scn"
env -u DISPLAY HOME="$work/run" "$root/usr/bin/regscope-script" --dir "$work/run" "$work/check.scn" ||
  fail "the installed regscope-script failed"
"$root/usr/bin/regscope-sim" --help >/dev/null || fail "the installed regscope-sim does not run"
echo "package: contents, dependencies and the installed programs are good"
