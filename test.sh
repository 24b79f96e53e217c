#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine.
#   ./test.sh            all tests
#   ./test.sh -L render  one area (any ctest arguments pass through)
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/configure.sh

# Create both prefixes before the clock of any test starts.
cmake/winerun --prefix "$PWD/build/wine/win32" --arch win32 cmd /c exit >/dev/null 2>&1 || true
cmake/winerun --prefix "$PWD/build/wine/win64" --arch win64 cmd /c exit >/dev/null 2>&1 || true

status=0
ctest --test-dir build --output-on-failure -j2 "$@" || status=$?
for p in build/wine/win32 build/wine/win64; do
  [ -d "$p" ] && WINEPREFIX="$PWD/$p" wineserver -k 2>/dev/null || true
done
exit $status
