#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher demonstration under
# Wine, with a local demo redirect server standing in for the vendor's server.
#   ./run.sh                 states, then installs the desktop product, states again
#   ./run.sh install iphone  any arguments go to the status tool
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/configure.sh

prefix="$PWD/build/wine/demo"
run() { cmake/winerun --prefix "$prefix" --arch win32 "$@"; }

# The demo server answers the launcher's built-in URLs through the prefix's proxy.
portfile=$(mktemp)
python3 scripts/demo_server.py build/launcher/demo_setup.exe --port-file "$portfile" 2>build/demo_server.log &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -f "$portfile"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$portfile" ] && break; sleep 0.1; done
port=$(cat "$portfile")

run cmd /c exit >/dev/null 2>&1 || true   # creates the prefix on first use
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
run reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null
run reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$port" /f >/dev/null

tool=build/launcher/vozeror_status.exe
if [ $# -gt 0 ]; then
  run "$tool" "$@"
else
  run "$tool"
  echo
  echo "Installing the desktop product from the demo server:"
  run "$tool" install desktop
fi
