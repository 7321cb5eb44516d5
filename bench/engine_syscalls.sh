#!/bin/sh
# System calls per paced 10-register read on the simulator's pty, of this
# engine and of a libmodbus master: the calls of the reading thread between
# the marks that `modbus_bench --syscalls` leaves in an strace trace of
# that thread alone (the simulator's thread runs untraced, at its pace).
# Run: sh bench/engine_syscalls.sh [path of modbus_bench]
set -eu
bench=${1:-build/bench/modbus_bench}
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
strace -qq -o "$trace" "$bench" --syscalls > "$trace.out"
reads=$(sed -n 's/^reads between marks: //p' "$trace.out")
rm -f "$trace.out"
awk -v reads="$reads" '
    /^(\+\+\+|---) / { next }
    /access\("\/regscope-mark\/begin / {
        match($0, /begin [^"]*/); what = substr($0, RSTART + 6, RLENGTH - 6)
        counting = 1; total = 0; split("", calls); next
    }
    /access\("\/regscope-mark\/end"/ {
        counting = 0; line = ""
        for (c in calls) line = line sprintf(" %s %.1f", c, calls[c] / reads)
        printf "%-28s %5.1f calls per transaction:%s\n", what, total / reads, line
        next
    }
    counting { name = $1; sub(/\(.*/, "", name); ++calls[name]; ++total }
' "$trace"
