#!/usr/bin/env bash
# The launcher's first frame on a real X server: Xvfb with a window manager
# (openbox), as on a desktop, and Wine's X11 driver in a prefix of its own,
# where mapping and showing the window cost time of their own that the null
# driver does not have. Without a window manager Wine waits up to 2 s for
# one whenever a window it has mapped is unmapped. The start-up probe and the
# bare layered window are started in turn, one warm-up start each and then
# STARTS starts each; the figures are the medians:
#   startup_xvfb_first_frame_ms, baseline_xvfb_first_frame_ms,
#   startup_xvfb_vs_baseline
# and the probe's STARTS starts once more with the prefix at 192 DPI (Wine's
# LogPixels), a 200 % display: startup_xvfb_first_frame_200_ms. The screen
# is large enough for the 1072x710 window that the launcher is there.
#   scripts/xvfb_startup.sh [STARTS]
# Called by ./bench.sh for the launcher area; prints nothing when Xvfb or
# openbox is missing.
set -u
cd "$(dirname "$0")/.."
. scripts/arch.sh
starts="${1:-7}"
command -v Xvfb >/dev/null && command -v openbox >/dev/null || exit 0
probe="$VOZEROR_BUILD/bench/vozeror_first_frame.exe"
bare="$VOZEROR_BUILD/bench/baseline_window.exe"
[ -f "$probe" ] && [ -f "$bare" ] || exit 0

fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo_dir/displayfd" >/dev/null 2>&1 &
xvfb=$!
wm=""
trap 'kill $wm "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$fifo_dir"' EXIT
if ! read -r -t 20 number <"$fifo_dir/displayfd"; then
  echo "Xvfb did not start" >&2
  exit 0
fi
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
wm=$!
# The window manager is ready once it has claimed the screen.
for ((i = 0; i < 100; i++)); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
prefix="$PWD/$VOZEROR_BUILD/wine/x11-$VOZEROR_WINEARCH"

# One figure from one start of a program, or nothing.
first_frame() {
  cmake/winerun --prefix "$prefix" --arch "$VOZEROR_WINEARCH" --display --timeout 120 "$1" 2>/dev/null |
    tr -d '\r' | awk -v name="$2" '$1 == name ":" { print $2 }'
}

first_frame "$probe" startup_first_frame_ms >/dev/null
first_frame "$bare" baseline_first_frame_ms >/dev/null
own=() base=()
for ((i = 0; i < starts; i++)); do
  own+=("$(first_frame "$probe" startup_first_frame_ms)")
  base+=("$(first_frame "$bare" baseline_first_frame_ms)")
done

# At 200 %; the prefix is set back to 96 DPI afterwards.
desktop='HKCU\Control Panel\Desktop'
cmake/winerun --prefix "$prefix" --arch "$VOZEROR_WINEARCH" --display --timeout 120 \
  reg add "$desktop" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
first_frame "$probe" startup_first_frame_ms >/dev/null
own200=()
for ((i = 0; i < starts; i++)); do
  own200+=("$(first_frame "$probe" startup_first_frame_ms)")
done
cmake/winerun --prefix "$prefix" --arch "$VOZEROR_WINEARCH" --display --timeout 120 \
  reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1

median() { printf '%s\n' "$@" | awk 'NF' | sort -g | awk '{ v[NR] = $1 } END {
  if (NR == 0) print 0; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
own_ms=$(median "${own[@]}")
own200_ms=$(median "${own200[@]}")
base_ms=$(median "${base[@]}")
awk -v a="$own_ms" -v b="$base_ms" -v c="$own200_ms" 'BEGIN {
  printf "startup_xvfb_first_frame_ms: %.3f\n", a
  printf "startup_xvfb_first_frame_200_ms: %.3f\n", c
  printf "baseline_xvfb_first_frame_ms: %.3f\n", b
  printf "startup_xvfb_vs_baseline: %.3f\n", (b > 0 ? a / b : 0) }'
