#!/usr/bin/env bash
# Configures (once) and builds the cross build tree of the chosen architecture
# (scripts/arch.sh: build/, or build-<arch>/ for the other one).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/arch.sh
tree=$VOZEROR_BUILD
if [ "$VOZEROR_ARCH" = x86 ]; then toolchain=mingw-i686.cmake; else toolchain=mingw-x86_64.cmake; fi

# A tree keeps the architecture it was made for. One made for the other
# (by an older checkout, or before the host's default changed) is emptied
# rather than built over, so that no object file of one lands in the other.
if [ -f "$tree/CMakeCache.txt" ]; then
  was=$(sed -n 's/^VOZEROR_ARCH:[A-Z]*=//p' "$tree/CMakeCache.txt")
  if [ -z "$was" ]; then
    grep -q 'mingw-x86_64.cmake' "$tree/CMakeCache.txt" && was=x64 || was=x86
  fi
  if [ "$was" != "$VOZEROR_ARCH" ]; then
    echo "configure: $tree/ holds an $was build; emptying it for $VOZEROR_ARCH"
    WINEPREFIX="$PWD/$tree/wine/win32" wineserver -k 2>/dev/null || true
    WINEPREFIX="$PWD/$tree/wine/win64" wineserver -k 2>/dev/null || true
    rm -rf "$tree"
  fi
fi
if [ ! -f "$tree/CMakeCache.txt" ]; then
  cmake -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$toolchain" \
        -DVOZEROR_ARCH="$VOZEROR_ARCH" >/dev/null
fi
cmake --build "$tree" -j"$(nproc)" -- --no-print-directory >"$tree/build.log" 2>&1 || {
  tail -60 "$tree/build.log"; echo "build failed (full log: $tree/build.log)"; exit 1; }
grep -E 'warning:' "$tree/build.log" | sort -u | head -20 || true
