#!/usr/bin/env bash
# Fails when a C++ file under version control differs from what .clang-format
# makes of it, and lists those files. `scripts/check-format.sh --fix`
# rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format is not installed" >&2
  exit 1
fi

# Outside a git checkout (an unpacked archive) every C++ file of the tree.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find src sim tests bench -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi

bad=()
for f in "${files[@]}"; do
  "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -ne 0 ]; then
  echo "check-format: these files differ from .clang-format (scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files as .clang-format wants them"
