#!/usr/bin/env bash
# Installs the Debian packages that building and testing RegScope need, when
# they are missing. Quick when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git dpkg-dev
  libgtest-dev libgmock-dev googletest
  libwxgtk3.2-dev libgtk-3-dev libcairo2-dev fonts-liberation
  xvfb xauth xdotool imagemagick
  libmodbus-dev mbpoll socat
  clang-14 libclang-rt-14-dev clang-format-14
)
# The Windows programs' packages and tests (the cross compiler comes with
# scripts/windows-deps.sh).
if [ "${1:-}" = --windows ]; then
  packages+=(wine wine64 nsis zip)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
