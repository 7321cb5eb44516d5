#!/usr/bin/env bash
# Prints the lines of test code against the lines of the code it tests:
# non-blank, non-comment lines of tests/ against src/, sim/ and bench/.
# C++ files drop //-lines and /* */ blocks; scenario, CMake and shell files
# drop #-lines. A tool for keeping the suite in proportion, not a test.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|c|scn|sh|cmake|py)$|CMakeLists\.txt$' |
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

tests=$(count tests)
code=$(count src sim bench)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d, code %d, ratio %.2f\n", t, c, t / c }'
