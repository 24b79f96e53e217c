#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine.
#   ./test.sh            all tests
#   ./test.sh -L render  one area (any ctest arguments pass through)
# VOZEROR_ARCH=x86|x64 picks the architecture (default: the host's; see README).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/arch.sh
scripts/setup.sh
scripts/configure.sh
tree=$VOZEROR_BUILD

# Create the prefixes before the clock of any test starts. The x86 build also
# runs the probe in a 64-bit prefix, as a WOW64 process.
prefixes=("$tree/wine/$VOZEROR_WINEARCH")
[ "$VOZEROR_ARCH" = x86 ] && prefixes+=("$tree/wine/win64")
for p in "${prefixes[@]}"; do
  cmake/winerun --prefix "$PWD/$p" --arch "$(basename "$p")" cmd /c exit >/dev/null 2>&1 || true
done

status=0
ctest --test-dir "$tree" --output-on-failure -j2 "$@" || status=$?
# Every C++ file keeps the one layout; the list says which do not.
scripts/format.sh || status=1
if [ "$VOZEROR_ARCH" = x64 ]; then
  echo "test: the probe's WOW64 run is skipped here: it belongs to the x86 build"
fi
for p in "${prefixes[@]}"; do
  [ -d "$p" ] && WINEPREFIX="$PWD/$p" wineserver -k 2>/dev/null || true
done
exit $status
