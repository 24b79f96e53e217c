#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not there yet.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake make wine wine32:i386 wine64 g++-mingw-w64-i686-posix libz-mingw-w64-dev libstb-dev \
         xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei curl python3 zip unzip; do
  have_pkg "$p" || need+=("$p")
done
[ -d /usr/src/googletest ] || need+=(googletest)

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  SUDO=""
  [ "$(id -u)" = 0 ] || SUDO=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # Mirrors are sometimes caught mid-sync (index files of the wrong size):
  # try a few times before giving up.
  for attempt in 1 2 3 4 5; do
    if $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
         $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; then
      break
    fi
    [ "$attempt" = 5 ] && { echo "setup: package installation failed" >&2; exit 1; }
    echo "setup: apt failed (attempt $attempt), retrying in 20 s" >&2
    sleep 20
  done
fi
