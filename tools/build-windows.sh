#!/usr/bin/env bash
# The whole program for Windows: Qt cross-built from Debian's source once (cached), then the
# program against it, laid out, zipped and wrapped in an installer in the repository root.
#   build-windows.sh BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/qt-windows.sh
build=${1:?usage: build-windows.sh BUILD_FOLDER}
HORALOG_QT_WIN=$qt ./tools/build-qt-windows.sh
configure_windows "$build" -DHORALOG_TESTS=OFF
cmake --build "$build" -j "$(nproc)" --target horalog
HORALOG_QT_WIN=$qt ./tools/package-windows.sh "$build"
