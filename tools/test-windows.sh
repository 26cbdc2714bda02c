#!/usr/bin/env bash
# Cross-builds the registry code and its tests for Windows and runs them under Wine, so the
# Windows backend is tested against a real registry implementation.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh build googletest g++-mingw-w64-x86-64-posix wine wine64
build=${WIN_BUILD:-build-windows}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DHORALOG_REGISTRY_ONLY=ON -DHORALOG_WERROR=ON \
      -DHORALOG_GTEST_SOURCE=/usr/src/googletest
cmake --build "$build" -j "$(nproc)" --target registry_tests
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || command -v wine)
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wine" "$build/src/registry/registry_tests.exe"
