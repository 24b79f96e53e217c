#!/usr/bin/env bash
# Configures (once) and builds the cross build tree build/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build build -j"$(nproc)" -- --no-print-directory >build/build.log 2>&1 || {
  tail -60 build/build.log; echo "build failed (full log: build/build.log)"; exit 1; }
grep -E 'warning:' build/build.log | sort -u | head -20 || true
