#!/usr/bin/env bash
# Started as the desktop entry starts it (in the home folder), the program
# keeps its files in the per-user folder; started from a terminal, in the
# folder it was started in.
set -euo pipefail
program=$1
entry=$2
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
read -r -a words <<<"$(sed -n 's/^Exec=//p' "$entry")"
[ "${words[0]}" = regscope ] || { echo "unexpected Exec line: ${words[*]}" >&2; exit 1; }
words[0]=$program

# Runs the program in folder $1 with the environment $3... until file $2
# exists (the first start writes its files before its first box), then ends
# it.
run() {
  local folder=$1 want=$2
  shift 2
  (cd "$folder" && env -u XDG_CONFIG_HOME HOME="$home" "$@" xvfb-run -a sh -c \
    '"$@" >/dev/null 2>&1 & p=$!
     for i in $(seq 300); do [ -e "'"$want"'" ] && break; sleep 0.1; done
     kill $p; wait $p' sh "${words[@]}") || true
  [ -f "$want" ] || { echo "no $want" >&2; exit 1; }
}

run "$home" "$home/.config/regscope/RegScope.cfg"
[ ! -e "$home/RegScope.ini" ] || { echo "files in the home folder" >&2; exit 1; }
[ "$(stat -c %a "$home/.config/regscope")" = 700 ] || { echo "folder open to others" >&2; exit 1; }

mkdir "$home/xdg"
run "$home" "$home/xdg/regscope/RegScope.cfg" XDG_CONFIG_HOME="$home/xdg"

# From a terminal: the start folder, as always.
words=("$program")
mkdir "$home/work"
run "$home/work" "$home/work/RegScope.cfg"
echo "ok"
