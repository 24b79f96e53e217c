#!/usr/bin/env bash
# Runs the benchmarks of one area (or all) and prints one `name: value` line per
# figure; a figure listed in bench/baselines.txt for this architecture is
# followed by its baseline and target, as in
#   repaint_full_us: 812.000  (baseline 4124, target <=1000)
#   ./bench.sh [area]
# VOZEROR_FUZZ_INPUTS sets the skin fuzz's number of inputs (default 200000).
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
# Appends "(baseline B, target T)" to the figures bench/baselines.txt knows.
annotate() {
  awk -v arch="$VOZEROR_ARCH" '
    NR == FNR { if ($1 == arch) { base[$2] = $3; goal[$2] = $4 }; next }
    {
      name = $0; sub(/: .*/, "", name)
      if (name in base) {
        extra = "baseline " base[name]
        if (goal[name] != "" && goal[name] != "-") extra = extra ", target " goal[name]
        $0 = $0 "  (" extra ")"
      }
      print; fflush()
    }' bench/baselines.txt -
}
found=0
for exe in "$VOZEROR_BUILD"/bench/*_bench.exe; do
  name=$(basename "$exe" _bench.exe)
  if [ -n "$area" ] && [ "$name" != "$area" ]; then continue; fi
  found=1
  cmake/winerun --prefix "$PWD/$VOZEROR_BUILD/wine/$VOZEROR_WINEARCH" --arch "$VOZEROR_WINEARCH" --timeout 1800 "$exe" | { grep -E '^[A-Za-z0-9_]+: ' || true; } | annotate
  # The launcher's first frame once more, on Xvfb with Wine's X11 driver.
  if [ "$name" = launcher ]; then
    scripts/xvfb_startup.sh | { grep -E '^[A-Za-z0-9_]+: ' || true; } | annotate
  fi
done
[ "$found" = 1 ] || echo "no benchmarks${area:+ for area $area}" >&2
