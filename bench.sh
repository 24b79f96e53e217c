#!/usr/bin/env bash
# Runs the benchmarks of one area (or all) and prints one `name: value` line per figure.
#   ./bench.sh [area]
set -euo pipefail
cd "$(dirname "$0")"
area="${1:-}"
scripts/setup.sh
scripts/configure.sh >/dev/null
shopt -s nullglob
found=0
for exe in build/bench/*_bench.exe; do
  name=$(basename "$exe" _bench.exe)
  if [ -n "$area" ] && [ "$name" != "$area" ]; then continue; fi
  found=1
  cmake/winerun --prefix "$PWD/build/wine/win32" --arch win32 "$exe" | grep -E '^[A-Za-z0-9_]+: '
done
[ "$found" = 1 ] || echo "no benchmarks${area:+ for area $area}" >&2
