#!/usr/bin/env bash
# Cross-builds every test program for Windows against Qt built for Windows (cached) and runs each
# under Wine, in a Wine prefix of its own set up as a Danish Windows: the rules, the registration
# file's bytes, and the window over the real registry. Then names what ran and what was left out.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
./tools/install-deps.sh build googletest g++-mingw-w64-x86-64-posix wine wine64 fonts-dejavu-core
. tools/qt-windows.sh
HORALOG_QT_WIN=$qt ./tools/build-qt-windows.sh

build=${WIN_BUILD:-build-windows}
configure_windows "$build" -DHORALOG_WERROR=ON -DHORALOG_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" -j "$(nproc)" --target horalog_all_tests

# What a test program loads, beside it: Qt, the offscreen platform, Qt's Danish texts and the
# compiler's runtime.
tests=$build/tests
mkdir -p "$tests/platforms" "$tests/translations"
cp -u "$qt"/bin/Qt6*.dll "$tests/"
cp -u "$qt/plugins/platforms/qoffscreen.dll" "$tests/platforms/"
cp -u /usr/share/qt6/translations/qtbase_da.qm "$tests/translations/"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp -u "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")" "$tests/"
done

# A Danish Windows: its short date and decimal comma in the user's settings, and its time zone,
# which Wine takes from the host's TZ. Wine passes QT_ variables on only under a WINE prefix.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export TZ=Europe/Copenhagen WINEQT_QPA_PLATFORM=offscreen
wine=$(command -v wine64 || command -v wine)
"$wine" wineboot --init >/dev/null 2>&1 || true
for setting in sShortDate=dd-MM-yyyy sDecimal=,; do
    "$wine" reg add 'HKCU\Control Panel\International' /v "${setting%%=*}" /t REG_SZ \
        /d "${setting#*=}" /f >/dev/null
done
# Qt's offscreen platform on Windows reads fonts from a folder only; without any, every letter is
# a box as wide as the font is high. The fonts the Linux tests measure with.
WINEQT_QPA_FONTDIR=$(winepath -w /usr/share/fonts/truetype/dejavu | tr -d '\r')
export WINEQT_QPA_FONTDIR

status=0
log=$build/test-windows.log
: >"$log"
for program in src/registry/registry_tests.exe src/lockfile/lockfile_tests.exe $(cd "$build" && ls tests/*_tests.exe); do
    echo "== $program under Wine"
    (cd "$build/$(dirname "$program")" &&
        timeout 1800 "$wine" "$(basename "$program")") 2>&1 | tr -d '\r' | tee -a "$log" ||
        status=1
done
"$wine"server -w 2>/dev/null || true

# The count: gtest's own summaries added up, each skipped test with its reason, and the tests left
# out of the Windows build with the reason its CMakeLists.txt gives.
ran=$(awk '/^\[==========\] [0-9]+ tests? from .* ran/ {n += $2} END {print n + 0}' "$log")
passed=$(awk '/^\[  PASSED  \] [0-9]+ test/ {n += $4} END {print n + 0}' "$log")
failed=$(grep -acE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log" || true)
echo
echo "Left out of the Windows build or skipped there:"
awk '/^\[ RUN      \]/ {name = $4; why = ""}
     /: Skipped$/ {getline why}
     /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ {printf "  skipped   %s: %s\n", name, why}' "$log"
skipped=$(grep -acE '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log" || true)
left_out=0
while IFS= read -r entry; do
    file=${entry%%:*}
    for name in $(sed -nE 's/^TEST(_F)?\(([A-Za-z0-9_]+), ([A-Za-z0-9_]+)\).*/\2.\3/p' "$file"); do
        echo "  left out  $name:${entry#*:}"
        left_out=$((left_out + 1))
    done
done < <(cat "$build"/src/registry/left-out-on-windows.txt "$build"/tests/left-out-on-windows.txt)
echo
echo "Under Wine: $ran tests ran ($passed passed, $failed failed, $skipped skipped);" \
     "$left_out left out of the Windows build; $(($(date +%s) - started)) s"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$ran" -gt 0 ]
