# Sourced by the Windows scripts: the one place of the Qt for Windows they build and use, and of
# the cross build's configure line.
#   qt            the cached Qt build (HORALOG_QT_WIN overrides it), usable as CMAKE_PREFIX_PATH
#   configure_windows BUILD_FOLDER [cmake options...]
qt_version=6.4.2
qt=${HORALOG_QT_WIN:-$HOME/.cache/horalog/qt-$qt_version-mingw64}

configure_windows() {
    local build=$1
    shift
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/mingw-w64.cmake" \
          -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DCMAKE_BUILD_TYPE=Release "$@"
}
