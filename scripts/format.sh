#!/usr/bin/env bash
# Lists the C++ files that differ from .clang-format, and exits 1 when there
# are any.   scripts/format.sh --apply   rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null 2>&1 || { echo "format: clang-format is missing (scripts/setup.sh installs it)" >&2; exit 1; }

mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = --apply ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 20 -P 2 clang-format -i --style=file
  exit 0
fi

bad=0
for f in "${files[@]}"; do
  if ! clang-format --style=file --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "format: $f does not follow .clang-format (scripts/format.sh --apply)"
    bad=1
  fi
done
exit $bad
