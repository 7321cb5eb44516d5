#!/usr/bin/env bash
# Prints the lines of test code against the lines of the code it tests:
# non-blank, non-comment lines of tests/ against src/, sim/ and bench/, first
# over the C++ files alone, then with the scenario, CMake and shell files too.
# C++ files drop //-lines and /* */ blocks; the others drop #-lines. A tool
# for keeping the suite in proportion, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."

# count PATTERN PATH...: the counted lines of the files whose names match.
count() {
  local pattern=$1
  shift
  git ls-files -- "$@" | grep -E "$pattern" |
    while read -r f; do
      case "$f" in
        *.cpp | *.h | *.c)
          sed -e 's|/\*.*\*/||g' "$f" | awk '
            /\/\*/ { inblock = 1 }
            inblock { if (/\*\//) inblock = 0; next }
            /^[ \t]*$/ || /^[ \t]*\/\// { next }
            { n++ } END { print n + 0 }' ;;
        *) awk '/^[ \t]*$/ || /^[ \t]*#/ { next } { n++ } END { print n + 0 }' "$f" ;;
      esac
    done | awk '{ s += $1 } END { print s + 0 }'
}

cxx='\.(cpp|h|c)$'
all='\.(cpp|h|c|scn|sh|cmake|py)$|CMakeLists\.txt$'
for what in cxx all; do
  tests=$(count "${!what}" tests)
  code=$(count "${!what}" src sim bench)
  label="C++ files"
  [ "$what" = all ] && label="with scenarios, CMake and shell"
  awk -v t="$tests" -v c="$code" -v l="$label" \
    'BEGIN { printf "%s: tests %d, code %d, ratio %.2f\n", l, t, c, t / c }'
done
