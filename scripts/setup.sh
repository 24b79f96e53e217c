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
  # A caching mirror can keep serving an index that is a little older than
  # its InRelease, which apt rejects ("File has unexpected size"). Such an
  # index is still a consistent snapshot: take it as it is.
  take_stale_indexes() {
    $SUDO apt-get update 2>&1 | sed -n 's/.*Failed to fetch \(http[^ ]*Packages\.xz\) *File has unexpected size.*/\1/p' |
    while read -r url; do
      list=/var/lib/apt/lists/$(echo "${url%.xz}" | sed 's|^http://||; s|/|_|g')
      echo "setup: taking the mirror's older index $url" >&2
      curl -fsS "$url" | xz -dc | $SUDO tee "$list" >/dev/null || true
    done
  }
  # Mirrors are sometimes caught mid-sync: try a few times before giving up.
  for attempt in 1 2 3 4 5; do
    # A failed index download leaves the older indexes in place; the install
    # may still find everything it needs, so it is tried either way.
    if [ "$attempt" = 3 ]; then take_stale_indexes; else $SUDO apt-get update -qq || true; fi
    if DEBIAN_FRONTEND=noninteractive \
         $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; then
      break
    fi
    [ "$attempt" = 5 ] && { echo "setup: package installation failed" >&2; exit 1; }
    echo "setup: apt failed (attempt $attempt), retrying in 20 s" >&2
    sleep 20
  done
fi
