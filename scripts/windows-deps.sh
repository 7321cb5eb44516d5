#!/usr/bin/env bash
# Builds what the Windows programs link, for x86_64-w64-mingw32, from
# Debian's own source packages: pixman, cairo and wxWidgets (base and core),
# all static. The result goes to a cache folder outside the checkout, one
# folder per set of versions and build flags, so that a second run reuses
# it and a changed flag builds a fresh one. Prints the folder on standard
# output, and its progress (each phase and its time) on standard error.
#
# Environment:
#   REGSCOPE_WIN_CACHE  where the cache lives (default /var/cache/regscope-win
#                       when writable, else $XDG_CACHE_HOME/regscope-win)
#   JOBS                parallel jobs for the builds (default 2)
set -euo pipefail
# Everything but the folder's name goes to standard error, the tools'
# output included, so that a caller can take the name from standard output.
exec 3>&1 >&2

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=${JOBS:-2}
host=x86_64-w64-mingw32

# The source packages, pinned so that the cache key is known without asking
# the archive; a point release that replaces one fails loudly at the fetch.
wx_pkg=wxwidgets3.2 wx_ver=3.2.2+dfsg-2
cairo_pkg=cairo cairo_ver=1.16.0-7
pixman_pkg=pixman pixman_ver=0.42.2-1
archive_uri=http://deb.debian.org/debian
archive_suite=bookworm
archive_keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# The builds' flags: any change here makes a new cache folder. So does a
# change of the recipe number, raised whenever the build steps below change
# what they make.
recipe=1
common_cflags="-O2 -g0"
pixman_flags=(
  --default-library=static --buildtype=plain
  -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled
  -Dopenmp=disabled -Dtimers=false
)
cairo_flags=(
  --enable-static --disable-shared
  --enable-win32 --enable-win32-font
  --disable-png --disable-ps --disable-pdf --disable-svg --disable-script
  --disable-ft --disable-fc --disable-xlib --disable-xlib-xrender --disable-xcb
  --disable-gobject --disable-trace --disable-interpreter --disable-valgrind
  --disable-full-testing --disable-gtk-doc
)
# Debian's source removes the bundled zlib, libpng, libjpeg, libtiff, expat
# and PCRE: whatever needs them is off, and so is every library beyond
# base and core.
wx_flags=(
  -DwxBUILD_SHARED=OFF -DwxBUILD_TOOLKIT=msw -DwxBUILD_MONOLITHIC=OFF
  -DwxBUILD_SAMPLES=OFF -DwxBUILD_TESTS=OFF -DwxBUILD_DEMOS=OFF
  -DwxBUILD_BENCHMARKS=OFF -DwxBUILD_PRECOMP=OFF -DwxBUILD_INSTALL=ON
  -DwxUSE_LIBPNG=OFF -DwxUSE_LIBJPEG=OFF -DwxUSE_LIBTIFF=OFF -DwxUSE_ZLIB=OFF
  -DwxUSE_EXPAT=OFF -DwxUSE_REGEX=OFF -DwxUSE_NANOSVG=OFF -DwxUSE_SVG=OFF
  -DwxUSE_LIBLZMA=OFF
  -DwxUSE_ARTPROVIDER_TANGO=OFF -DwxUSE_WXHTML_HELP=OFF -DwxUSE_HTML=OFF
  -DwxUSE_XML=OFF -DwxUSE_XRC=OFF -DwxUSE_AUI=OFF -DwxUSE_PROPGRID=OFF
  -DwxUSE_RIBBON=OFF -DwxUSE_RICHTEXT=OFF -DwxUSE_STC=OFF -DwxUSE_WEBVIEW=OFF
  -DwxUSE_MEDIACTRL=OFF -DwxUSE_OPENGL=OFF -DwxUSE_GLCANVAS=OFF
  -DwxUSE_DEBUGREPORT=OFF
)

compiler_id=$("$host-g++-posix" --version | head -1)
key=$(
  {
    echo "$wx_ver $cairo_ver $pixman_ver $compiler_id $common_cflags"
    echo "${pixman_flags[*]}"
    echo "${cairo_flags[*]}"
    echo "${wx_flags[*]}"
    echo "recipe $recipe"
  } | sha256sum | cut -c1-16
)

if [ -n "${REGSCOPE_WIN_CACHE:-}" ]; then
  cache_root=$REGSCOPE_WIN_CACHE
elif mkdir -p /var/cache/regscope-win 2>/dev/null && [ -w /var/cache/regscope-win ]; then
  cache_root=/var/cache/regscope-win
else
  cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/regscope-win
fi
prefix=$cache_root/$key
mkdir -p "$cache_root"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix" >&3
  exit 0
fi

phase_start=0
phase() {
  phase_start=$(date +%s)
  echo "== $1"
}
phase_done() {
  echo "== $1: $(($(date +%s) - phase_start)) s"
}

# One builder at a time per cache; a second waits and then finds it done.
exec 9>"$cache_root/.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix" >&3
  exit 0
fi

# The compiler and tools, from Debian's packages.
phase "packages"
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  meson ninja-build dpkg-dev cmake pkg-config make)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
phase_done "packages"

work=$cache_root/work-$key
# A run that was stopped (or failed) goes on where it ended: each step
# leaves a mark in the work folder, and the builds are incremental.
sources=$work/sources
if [ ! -f "$work/.unpacked" ]; then
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix"
fi
done_step() { [ -f "$work/.$1-done" ]; }
mark_step() { touch "$work/.$1-done"; }

# The source packages, through a source list and state of our own: the
# system's sources stay as they are. Every file is checked against the
# hash in the archive's signed index as it arrives, and unpacked only
# after a second check against the strong checksums of its .dsc. The
# downloads are kept for the next build with other flags.
if [ ! -f "$work/.unpacked" ]; then
  phase "fetch"
  apt_dir=$cache_root/apt
  downloads=$cache_root/sources
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$downloads"
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "$archive_uri" "$archive_suite" "$archive_keyring" >"$apt_dir/sources.list.d/debian-src.sources"
  apt_opts=(
    -o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
  )
  # apt downloads as its own unprivileged user where it can.
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
    chown _apt "$apt_dir/lists/partial" "$downloads"
  fi
  apt-get "${apt_opts[@]}" update -qq
  # fetch NAME=VERSION [SKIP-PATTERN]: the files of a source package that
  # are not yet here with the right hash.
  fetch() {
    local uri file size hash
    apt-get "${apt_opts[@]}" -qq source --print-uris "$1" 2>/dev/null | grep "^'" >"$work/uris"
    while read -r uri file size hash; do
      uri=${uri//\'/}
      if [ -n "${2:-}" ] && [[ $file == $2 ]]; then continue; fi
      if [ -f "$downloads/$file" ] &&
        [ "$(sha256sum "$downloads/$file" | cut -d' ' -f1)" = "${hash#SHA256:}" ]; then
        continue
      fi
      rm -f "$downloads/$file"
      /usr/lib/apt/apt-helper "${apt_opts[@]}" download-file "$uri" "$downloads/$file" "$hash" >/dev/null
    done <"$work/uris"
    if [ ! -f "$downloads/${1%%=*}_${1#*=}.dsc" ]; then
      echo "no source package $1 in $archive_uri $archive_suite" >&2
      exit 1
    fi
  }
  # pixman's Debian diff only packages it for Debian (and the archive does
  # not always serve it): the build takes the upstream tarball alone.
  fetch "$pixman_pkg=$pixman_ver" '*.diff.gz'
  fetch "$cairo_pkg=$cairo_ver"
  fetch "$wx_pkg=$wx_ver"
  phase_done "fetch"

  # Unpacks a source package after dpkg-source checked every file against
  # the strong checksums its .dsc lists; any mismatch ends the script.
  unpack() {
    dpkg-source --require-strong-checksums -x "$downloads/${1}_${2}.dsc" "$sources/$3" >/dev/null
  }
  # Checks the upstream tarball alone against the .dsc and unpacks it.
  unpack_upstream() {
    local dsc=$downloads/${1}_${2}.dsc tarball want
    tarball=$(awk '/^Checksums-Sha256:/{s=1;next} /^[^ ]/{s=0} s&&$3~/\.orig\.tar\./{print $3}' "$dsc")
    want=$(awk -v f="$tarball" '/^Checksums-Sha256:/{s=1;next} /^[^ ]/{s=0} s&&$3==f{print $1}' "$dsc")
    if [ -z "$tarball" ] || [ "$(sha256sum "$downloads/$tarball" | cut -d' ' -f1)" != "$want" ]; then
      echo "$tarball does not match $dsc" >&2
      exit 1
    fi
    mkdir -p "$sources/$3"
    tar -xf "$downloads/$tarball" -C "$sources/$3" --strip-components=1
  }
  phase "unpack"
  mkdir -p "$sources"
  unpack_upstream "$pixman_pkg" "$pixman_ver" pixman
  unpack "$cairo_pkg" "$cairo_ver" cairo
  unpack "$wx_pkg" "$wx_ver" wx
  phase_done "unpack"
  touch "$work/.unpacked"
fi

export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=

{
  echo "[binaries]"
  echo "c = '$host-gcc-posix'"
  echo "cpp = '$host-g++-posix'"
  echo "ar = '$host-ar'"
  echo "strip = '$host-strip'"
  echo "windres = '$host-windres'"
  echo "pkgconfig = 'pkg-config'"
  echo "[built-in options]"
  echo "c_args = [$(printf "'%s', " $common_cflags)]"
  echo "[host_machine]"
  echo "system = 'windows'"
  echo "cpu_family = 'x86_64'"
  echo "cpu = 'x86_64'"
  echo "endian = 'little'"
} >"$work/cross.txt"

if ! done_step pixman; then
  phase "pixman"
  [ -f "$work/pixman-build/build.ninja" ] ||
    meson setup "$work/pixman-build" "$sources/pixman" --cross-file "$work/cross.txt" \
      --prefix="$prefix" --libdir=lib "${pixman_flags[@]}" >"$work/pixman-configure.log"
  nice -n 19 ninja -C "$work/pixman-build" -j "$jobs" >"$work/pixman.log" 2>&1 ||
    { tail -30 "$work/pixman.log" >&2; exit 1; }
  ninja -C "$work/pixman-build" install >/dev/null
  phase_done "pixman"
  mark_step pixman
fi

if ! done_step cairo; then
  phase "cairo"
  # Debian's patches change configure.ac and the Makefile.am files only for
  # its own packaging (maintainer mode, exported symbols, the perf tools);
  # the code fixes are compiled, the build files generated upstream kept.
  mkdir -p "$work/cairo-build"
  (
    cd "$work/cairo-build"
    if [ ! -f Makefile ]; then
      stamp=$(date '+%Y-%m-%d %H:%M:%S')
      find "$sources/cairo" \( -name aclocal.m4 -o -name configure -o -name Makefile.in \
        -o -name config.h.in \) -exec touch -d "$stamp" {} +
      "$sources/cairo/configure" --host=$host --prefix="$prefix" \
        CC=$host-gcc-posix CXX=$host-g++-posix CFLAGS="$common_cflags" \
        "${cairo_flags[@]}" >configure.log
    fi
    nice -n 19 make -C src -j "$jobs" >make.log 2>&1 || { tail -30 make.log >&2; exit 1; }
    make -C src install >/dev/null
  )
  phase_done "cairo"
  mark_step cairo
fi

if ! done_step wx; then
  phase "wxwidgets"
  cmake -S "$sources/wx" -B "$work/wx-build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
    -DCMAKE_C_COMPILER=$host-gcc-posix -DCMAKE_CXX_COMPILER=$host-g++-posix \
    -DCMAKE_RC_COMPILER=$host-windres \
    -DCMAKE_FIND_ROOT_PATH="/usr/$host;$prefix" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$common_cflags -DNDEBUG" \
    -DCMAKE_CXX_FLAGS_RELEASE="$common_cflags -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${wx_flags[@]}" >"$work/wx-configure.log"
  nice -n 19 ninja -C "$work/wx-build" -j "$jobs" >"$work/wx.log" 2>&1 ||
    { tail -30 "$work/wx.log" >&2; exit 1; }
  ninja -C "$work/wx-build" install >/dev/null
  phase_done "wxwidgets"
  mark_step wx
fi

# The versions and flags beside the result, for whoever looks at the cache.
{
  echo "pixman $pixman_ver: ${pixman_flags[*]}"
  echo "cairo $cairo_ver: ${cairo_flags[*]}"
  echo "wxwidgets $wx_ver: ${wx_flags[*]}"
  echo "compiler: $compiler_id; flags: $common_cflags"
} >"$prefix/BUILD-INFO"
cp "$sources/wx/docs/licence.txt" "$prefix/wxwidgets-licence.txt"
cp "$sources/pixman/COPYING" "$prefix/pixman-COPYING"
cp "$sources/cairo/COPYING" "$prefix/cairo-COPYING"
cp "$sources/cairo/COPYING-LGPL-2.1" "$prefix/cairo-COPYING-LGPL-2.1"
cp "$sources/cairo/COPYING-MPL-1.1" "$prefix/cairo-COPYING-MPL-1.1"
cd "$cache_root"
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix" >&3
