#!/usr/bin/env bash
# Lays out the cross-built Windows program the way Qt's deployment tool would, then zips it and
# wraps it in an installer:
#   package-windows.sh BUILD_FOLDER    (HORALOG_QT_WIN names the Qt build, as for build-qt-windows.sh)
# Horalog-<version>-win64.zip and Horalog-<version>-setup.exe land in the repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: package-windows.sh BUILD_FOLDER}
. tools/qt-windows.sh
./tools/install-deps.sh build zip nsis g++-mingw-w64-x86-64-posix qt6-translations-l10n
started=$(date +%s)

version=$(cat "$build/version.txt")  # the project's version, written by CMake
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name)")
mingw_runtime=/usr/x86_64-w64-mingw32/lib
layout=$build/Horalog
rm -rf "$layout"
mkdir -p "$layout/platforms" "$layout/styles" "$layout/translations"

cp "$build/Horalog.exe" "$build/Horalog.com" "$layout/"
for m in Core Gui Widgets Network; do cp "$qt/bin/Qt6$m.dll" "$layout/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$layout/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$layout/styles/"
cp "$gcc_runtime/libgcc_s_seh-1.dll" "$gcc_runtime/libstdc++-6.dll" "$layout/"
cp "$mingw_runtime/libwinpthread-1.dll" "$layout/"
# The program looks for Qt's Danish texts in translations/ beside itself.
cp /usr/share/qt6/translations/qtbase_da.qm "$layout/translations/"
find "$layout" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

# Every DLL that a binary imports and that Qt or mingw provides must be in the layout; the rest
# (kernel32, user32, ...) come with Windows.
status=0
while read -r binary; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
        [ -n "$(find "$layout" -maxdepth 1 -iname "$dll")" ] && continue
        if [ -n "$(find "$qt/bin" "$gcc_runtime" "$mingw_runtime" -maxdepth 1 -iname "$dll" 2>/dev/null)" ]; then
            echo "package-windows.sh: ${binary#"$layout"/} needs $dll, which is not in the layout" >&2
            status=1
        fi
    done
done < <(find "$layout" -name '*.exe' -o -name '*.dll')
# The uninstaller removes the files by name: each file must be installed and removed by name.
while read -r file; do
    name=${file#"$layout"/}
    name=${name//\//\\}
    for line in "File \"\${LAYOUT}\\$name\"" "Delete \"\$INSTDIR\\$name\""; do
        grep -qF "$line" packaging/windows/horalog.nsi ||
            { echo "package-windows.sh: packaging/windows/horalog.nsi lacks $line" >&2; status=1; }
    done
done < <(find "$layout" -type f)
[ "$status" -eq 0 ] || exit 1

zip_name=Horalog-$version-win64.zip
setup_name=Horalog-$version-setup.exe
rm -f "$zip_name" "$setup_name"
(cd "$build" && zip -q -r -X "../$zip_name" Horalog)
parts=(${version//./ })
makensis -V2 -DVERSION="$version" -DVERSION4="${parts[0]}.${parts[1]}.${parts[2]:-0}.0" \
    -DLAYOUT="$PWD/$layout" -DICON="$PWD/resources/horalog.ico" -DOUTFILE="$PWD/$setup_name" \
    packaging/windows/horalog.nsi

finished=$(date +%s)
echo "Packaged in $((finished - started)) s: $(du -sh "$layout" | cut -f1) laid out in $layout"
ls -l "$zip_name" "$setup_name"
