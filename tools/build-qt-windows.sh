#!/usr/bin/env bash
# Cross-builds the parts of Qt that Horalog needs for 64-bit Windows, from Debian's own qt6-base
# source, so the Windows program uses the same Qt as the Linux one. The result is cached:
#   $qt of tools/qt-windows.sh   (usable as CMAKE_PREFIX_PATH)
# The cache is a Qt build whose install prefix is the build folder itself, so nothing needs
# installing: the DLLs are in bin/, the plugins in plugins/, the CMake packages in lib/cmake/.
# The source, the download and apt's private state sit beside it in "<cache>-source", which must
# stay: the build's headers include the source's.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

. tools/qt-windows.sh
prefix=$qt
work=$prefix-source
stamp=$prefix/horalog-qt-complete

# The toolchain file is copied beside the cache, so the cache never names a checkout: a clone
# elsewhere (CI's) finds the same stamp, and a configure never points at a folder that is gone.
mkdir -p "$work"
toolchain=$work/mingw-w64.cmake
cmp -s "$repo/tools/mingw-w64.cmake" "$toolchain" || cp "$repo/tools/mingw-w64.cmake" "$toolchain"

# The stamp records the options and the toolchain's text too: a changed feature list or compiler
# setting must not reuse an old build.
features_off=(sql printsupport dbus concurrent xml opengl dynamicgl vulkan openssl icu zstd
              system_zlib tabletevent)
options=(-G Ninja
         -DCMAKE_TOOLCHAIN_FILE="$toolchain"
         -DCMAKE_INSTALL_PREFIX="$prefix"
         -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
         -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
         -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)
for f in "${features_off[@]}"; do options+=("-DFEATURE_$f=OFF"); done
targets=(Core Gui Widgets Network Test lib/libQt6EntryPoint.a
         QWindowsIntegrationPlugin QOffscreenIntegrationPlugin QWindowsVistaStylePlugin)
fingerprint="qt6-base $qt_version; ${options[*]}; ${targets[*]}; $(sha256sum <"$toolchain" | cut -c1-16)"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$fingerprint" ]; then
    echo "Qt $qt_version for Windows is ready in $prefix"
    exit 0
fi

# The mingw toolchain file names these compilers; Debian's moc, rcc and uic serve as host tools.
./tools/install-deps.sh build ninja-build g++-mingw-w64-x86-64-posix dpkg-dev xz-utils \
    qt6-base-dev-tools
started=$(date +%s)

# The source package, from the archive this machine already uses, through a private sources list
# and private lists, so the system's apt state stays as it was.
uri=""
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk '/^Types:/ {deb = ($0 ~ /[ \t]deb([ \t]|$)/)} /^$/ {deb = 0}
                    deb && /^URIs:/ {print $2; exit}' "$f")
    [ -n "$uri" ] && break
done
if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) { print $i; exit } }' \
          /etc/apt/sources.list)
fi
[ -n "$uri" ] || { echo "build-qt-windows.sh: no deb line in the system's apt sources" >&2; exit 1; }
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")

mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/download"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main" \
    > "$work/apt/sources.list"
apt_options=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
             -o APT::Sandbox::User=root)
tarball=$work/download/qt6-base_$qt_version+dfsg.orig.tar.xz
if [ ! -f "$tarball" ]; then
    apt-get "${apt_options[@]}" -qq update
    (cd "$work/download" && apt-get "${apt_options[@]}" source --download-only qt6-base)
fi
source_dir=$work/qtbase-everywhere-src-$qt_version
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
    rm -rf "$source_dir"
    tar -xf "$tarball" -C "$work"
    [ -f "$source_dir/CMakeLists.txt" ] || source_dir=$(dirname "$(ls -d "$work"/qtbase*/CMakeLists.txt | head -1)")
fi

mkdir -p "$prefix"
rm -f "$stamp"
# A configure cached with another toolchain file cannot be reconfigured in place.
if [ -f "$prefix/CMakeCache.txt" ] &&
    ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain\$" "$prefix/CMakeCache.txt"; then
    rm -rf "$prefix/CMakeCache.txt" "$prefix/CMakeFiles"
fi
cmake -S "$source_dir" -B "$prefix" "${options[@]}"
configured=$(date +%s)
cmake --build "$prefix" --parallel "${JOBS:-$(nproc)}" --target "${targets[@]}"
finished=$(date +%s)
echo "$fingerprint" > "$stamp"

minutes() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }
echo "Qt $qt_version for Windows built in $(minutes $((finished - started)))" \
     "(configure $(minutes $((configured - started))), build $(minutes $((finished - configured))))"
echo "Cached in $prefix"
