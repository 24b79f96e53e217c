#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher under Wine, with a
# local demo redirect server standing in for the vendor's server: an install
# tile downloads a small demo setup that installs a demo product into the
# prefix, and the run tile then starts it.
#
#   ./run.sh                   the launcher: on your display when DISPLAY is
#                              set, else on a private Xvfb with screenshots
#                              in build/screenshots/run/ (the tree of the
#                              chosen architecture, see README)
#   ./run.sh status [ARGS...]  the console status tool instead, e.g.
#                              ./run.sh status install iphone
#   ./run.sh reset             forgets the demo products installed so far
#
# Everything started here stops when the launcher (or the tool) exits.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/arch.sh
scripts/setup.sh
scripts/configure.sh

tree=$VOZEROR_BUILD
prefix="$PWD/$tree/wine/demo"
mode=launcher
if [ $# -gt 0 ]; then
  case "$1" in
    status) mode=status; shift ;;
    reset) mode=reset; shift ;;
    *) echo "usage: ./run.sh [status [ARGS...] | reset]" >&2; exit 2 ;;
  esac
fi

xvfb="" server="" shooter=""
portfile=$(mktemp)
cleanup() {
  # Wine's programs first (a demo product may still be open), then the display.
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  for pid in $shooter $server $xvfb; do kill "$pid" 2>/dev/null || true; done
  rm -f "$portfile"
}
trap cleanup EXIT
trap "exit 130" INT TERM

private_display=0
if [ "$mode" = launcher ] && [ -z "${DISPLAY:-}" ]; then
  # No display: a private one, and screenshots to show what it looks like.
  dispfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$dispfile" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$dispfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$dispfile")"
  rm -f "$dispfile"
  private_display=1
  echo "No DISPLAY set: the launcher runs on a private Xvfb ($DISPLAY);"
  echo "screenshots go to $tree/screenshots/run/ every 2 seconds."
fi

run() {
  if [ "$mode" = launcher ]; then
    cmake/winerun --prefix "$prefix" --arch "$VOZEROR_WINEARCH" --display --timeout 86400 "$@"
  else
    cmake/winerun --prefix "$prefix" --arch "$VOZEROR_WINEARCH" "$@"
  fi
}

# The demo server answers the launcher's built-in URLs through the prefix's proxy.
python3 scripts/demo_server.py "$tree"/launcher/demo_setup.exe --port-file "$portfile" \
  2>"$tree"/demo_server.log &
server=$!
for _ in $(seq 50); do [ -s "$portfile" ] && break; sleep 0.1; done
port=$(cat "$portfile")

run cmd /c exit >/dev/null 2>&1 || true   # creates the prefix on first use
reg() { run reg "$@" >/dev/null 2>&1 || true; }
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f
reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f
# The system's GUI font stands for a face with the Chinese texts, as on a
# Chinese Windows.
for face in "MS Shell Dlg" "MS Shell Dlg 2"; do
  reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$face" /t REG_SZ /d 'WenQuanYi Micro Hei' /f
done

case "$mode" in
  status)
    tool="$tree"/launcher/vozeror_status.exe
    if [ $# -gt 0 ]; then
      run "$tool" "$@"
    else
      run "$tool"
      echo
      echo "Installing the desktop product from the demo server:"
      run "$tool" install desktop
    fi
    ;;
  reset)
    # The demo setup writes where a 32-bit setup would: the 32-bit view.
    view='HKLM\Software'
    [ "$VOZEROR_WINEARCH" = win64 ] && view='HKLM\Software\Wow6432Node'
    for key in Zavodidere Ravivarovo Vavarived; do
      reg delete "$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$key" /f
    done
    rm -rf "$prefix/drive_c/Program Files/Vozeror Demo"
    echo "The demo products are uninstalled."
    ;;
  launcher)
    if [ "$private_display" = 1 ]; then
      rm -rf "$tree"/screenshots/run
      mkdir -p "$tree"/screenshots/run
      ( n=0; while sleep 2; do n=$((n + 1))
          import -window root "$tree/screenshots/run/$(printf 'shot-%03d.png' "$n")" 2>/dev/null || true
        done ) &
      shooter=$!
      echo "Press Ctrl-C to stop; xdotool and DISPLAY=$DISPLAY drive the window from a shell."
    fi
    echo "Starting the launcher (the demo server's log: $tree/demo_server.log)."
    status=0
    run "$tree"/launcher/vozeror.exe || status=$?
    echo "The launcher exited with code $status."
    exit $status
    ;;
esac
