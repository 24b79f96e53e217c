#!/usr/bin/env bash
# Runs the benchmarks of one area (or all) and prints one `name: value` line per figure.
#   ./bench.sh [area]
set -euo pipefail
cd "$(dirname "$0")"
. scripts/arch.sh
area="${1:-}"
scripts/setup.sh
scripts/configure.sh >/dev/null
shopt -s nullglob
# The download benchmark compares the launcher's routine with the Linux side's
# curl, run for it by a helper that watches a folder.
curl_dir=$(mktemp -d)
scripts/curl_helper.sh "$curl_dir" &
helper=$!
trap 'touch "$curl_dir/stop"; wait "$helper" 2>/dev/null; rm -rf "$curl_dir"' EXIT
export VOZEROR_BENCH_CURL_DIR="Z:${curl_dir//\//\\}"
found=0
for exe in "$VOZEROR_BUILD"/bench/*_bench.exe; do
  name=$(basename "$exe" _bench.exe)
  if [ -n "$area" ] && [ "$name" != "$area" ]; then continue; fi
  found=1
  cmake/winerun --prefix "$PWD/$VOZEROR_BUILD/wine/$VOZEROR_WINEARCH" --arch "$VOZEROR_WINEARCH" "$exe" | { grep -E '^[A-Za-z0-9_]+: ' || true; }
done
[ "$found" = 1 ] || echo "no benchmarks${area:+ for area $area}" >&2
