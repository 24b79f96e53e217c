#!/usr/bin/env bash
# Installs what the build, the tests and the demo of the chosen architecture
# need and is not there yet. Idempotent: when everything is present it only
# checks and returns. Every way out says why.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/arch.sh

fail() { echo "setup: $*" >&2; exit 1; }
trap 'rc=$?; [ $rc = 0 ] || echo "setup: stopped with code $rc (line $LINENO)" >&2' EXIT

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
pkgs=(cmake make wine wine64 libz-mingw-w64-dev libstb-dev xvfb xauth x11-utils xdotool imagemagick
      fonts-wqy-microhei curl python3 zip unzip osslsigncode openssl clang-format openbox
      optipng)
if [ "$VOZEROR_ARCH" = x86 ]; then
  pkgs+=(g++-mingw-w64-i686-posix)
  # The 32-bit loader only where the host can run it.
  [ "$VOZEROR_HOST32" = 1 ] && pkgs+=(wine32:i386)
else
  pkgs+=(g++-mingw-w64-x86-64-posix)
fi
for p in "${pkgs[@]}"; do
  have_pkg "$p" || need+=("$p")
done
[ -d /usr/src/googletest ] || need+=(googletest)

[ ${#need[@]} -gt 0 ] || exit 0

echo "setup: installing ${need[*]}"
SUDO=""
if [ "$(id -u)" != 0 ]; then
  command -v sudo >/dev/null 2>&1 || fail "root or sudo is needed to install: ${need[*]}"
  SUDO=sudo
fi
for p in "${need[@]}"; do
  if [ "$p" = wine32:i386 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 || fail "cannot add the i386 architecture"
  fi
done

# A mirror caught mid-sync serves an index a little older than its InRelease,
# which apt rejects ("File has unexpected size"). Such an index is still a
# consistent snapshot of the mirror: take it as it is. Never fails.
take_stale_indexes() {
  local log url list
  log=$(mktemp)
  $SUDO apt-get update >"$log" 2>&1 || true
  sed -n 's/.*Failed to fetch \(http[^ ]*Packages\.xz\) *File has unexpected size.*/\1/p' "$log" |
    while read -r url; do
      list=/var/lib/apt/lists/$(echo "${url%.xz}" | sed 's|^http://||; s|/|_|g')
      echo "setup: taking the mirror's older index $url" >&2
      if curl -fsS "$url" | xz -dc >"$list.part" 2>/dev/null; then
        $SUDO mv "$list.part" "$list" || true
      else
        rm -f "$list.part"
      fi
    done || true
  rm -f "$log"
}

# Tried a few times: a mirror caught mid-sync is often whole again a minute later.
for attempt in 1 2 3 4 5 6; do
  if [ "$attempt" -ge 2 ]; then take_stale_indexes; else $SUDO apt-get update -qq >/dev/null 2>&1 || true; fi
  log=$(mktemp)
  if DEBIAN_FRONTEND=noninteractive \
       $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >"$log" 2>&1; then
    rm -f "$log"
    break
  fi
  tail -5 "$log" >&2
  rm -f "$log"
  [ "$attempt" = 6 ] && fail "package installation failed after $attempt attempts: ${need[*]}"
  echo "setup: apt failed (attempt $attempt), retrying in 20 s" >&2
  sleep 20
done

# wine32 installs on any host; where its loader cannot run, it is of no use.
if [ "$VOZEROR_ARCH" = x86 ] && ! vozeror_host_runs_32bit; then
  fail "Wine's 32-bit loader does not run on this host: use VOZEROR_ARCH=x64"
fi
echo "setup: done"
