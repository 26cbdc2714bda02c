#!/usr/bin/env bash
# Runs the Windows installer and program under Wine, the way a Danish Windows user meets them:
#   check-windows.sh BUILD_FOLDER
# In a Wine prefix of its own (BUILD_FOLDER/wineprefix, made afresh) and a display of its own
# (Xvfb): install silently, start the program for the first time, answer its two first-start
# dialogs, check the settings and the new registration file, uninstall silently, and check that
# the user's settings and file stayed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-windows.sh BUILD_FOLDER}
if [ -z "${HORALOG_CHECK_DISPLAY:-}" ]; then
    ./tools/install-deps.sh build wine wine64 xvfb xauth xdotool g++-mingw-w64-x86-64-posix
    HORALOG_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

answer_dialog=$PWD/$build/answer_dialog.exe
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -static -o "$answer_dialog" \
    tools/windows/answer_dialog.cpp
version=$(cat "$build/version.txt")  # the project's version, written by CMake
setup=$PWD/Horalog-$version-setup.exe
[ -f "$setup" ] || { echo "check-windows.sh: $setup is missing (make windows)" >&2; exit 1; }

export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
window_title() {  # pattern, seconds: the title of a visible window that matches the pattern
    local i id
    for ((i = 0; i < $2 * 2; i++)); do
        for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
            xdotool getwindowname "$id" && return 0
        done
        sleep 0.5
    done
    return 1
}
answer() {  # title, [text]: what the dialog's controls say, then the dialog answered
    wine "$answer_dialog" "$@" | tr -d '\r'
}

wine wineboot --init >/dev/null 2>&1
wineserver -w
# A Danish Windows writes dates as dd-MM-yyyy; Wine's en-US M/d/yyyy is refused at start-up.
wine reg add 'HKCU\Control Panel\International' /v sShortDate /d dd-MM-yyyy /f >/dev/null
localappdata=$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')
appdata=$(wine cmd /c echo %APPDATA% | tr -d '\r')
instdir=$(winepath -u "$localappdata\\Programs\\Horalog")
instdir=${instdir%/}
shortcut=$(winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Horalog.lnk")
drive_c=$WINEPREFIX/drive_c
settings='HKCU\Software\Kvistborg\Horalog'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalog'

echo "== Installing: Horalog-$version-setup.exe /S"
wine "$setup" /S
wineserver -w
echo "Files under $localappdata\\Programs\\Horalog:"
(cd "$instdir" && find . -type f | sed 's|^\./||' | sort | sed 's/^/    /')
expected=$(cd "$build/Horalog" && { find . -type f; echo ./Uninstall.exe; } | sed 's|^\./||' | sort)
if [ "$(cd "$instdir" && find . -type f | sed 's|^\./||' | sort)" = "$expected" ]; then
    pass "the installer put exactly the laid-out files and its uninstaller there"
else
    fail "the installed files differ from the layout"
fi
[ -f "$shortcut" ] && pass "Start-menu entry $appdata\\...\\Programs\\Horalog.lnk" ||
    fail "no Start-menu entry"
wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | grep -q "$version" &&
    pass "uninstall entry under $uninstall_key" || fail "no uninstall entry"

echo "== Horalog.exe --version"
# A GUI program has no console: Qt shows the version in a message box (under Wine also when the
# output is redirected in a command prompt).
(wine "$instdir/Horalog.exe" --version >/dev/null 2>&1 &)
shown=$(answer Horalog || true)
echo "$shown" | sed 's/^/    /'
echo "$shown" | grep -qx "Horalog $version" && pass "--version shows «Horalog $version»" ||
    fail "--version showed no «Horalog $version»"
wineserver -w

echo "== First start"
(wine "$instdir/Horalog.exe" >/dev/null 2>&1 &)
if notice=$(answer 'Horalog.dat filnavn'); then
    pass "the first start shows the file-name notice"
    echo "$notice" | sed 's/^/    /'
    # The second wording, naming the file a Windows user's data goes to.
    grep -qxF 'Horalogs data vil blive gemt i C:\Horalog.Dat' <<<"$notice" &&
        grep -qxF "kan dette rettes under 'Opsætninger - Filnavn'" <<<"$notice" &&
        pass "it names C:\Horalog.Dat, in its first-start wording" ||
        fail "the notice does not name C:\Horalog.Dat in its first-start wording"
    # The settings are written once the notice is answered, before the balance question.
    if answer 'Opstart Horalog' -35 >/dev/null; then
        pass "then asks for the opening balance (answered -35)"
    else
        fail "no balance question after the notice"
    fi
    echo "    wine reg query \"$settings\":"
    wine reg query "$settings" 2>&1 | tr -d '\r' | sed '/^$/d; s/^/    /'
    while IFS='=' read -r name want; do
        got=$(wine reg query "$settings" /v "$name" 2>/dev/null | tr -d '\r' |
              sed -n "s/^ *$name  *REG_SZ    //p")
        [ "$got" = "$want" ] && pass "«$name» is «$want»" || fail "«$name» is «$got», not «$want»"
    done <<'VALUES'
Moedt= 
Arbejdstimer=7.4
FrokostVarighed=50
FrokostArbejdstid=450
Filnavn=C:\Horalog.Dat
VALUES
    for ((i = 0; i < 60; i++)); do [ -f "$drive_c/Horalog.Dat" ] && break || sleep 0.5; done
    expected=$(printf 'dato;dag;komme;g\xe5;tid;periode;total;kommentar\r\n%s;0;-;-;-;0;-35\r\n' \
               "$(date +%d-%m-%Y)" | od -An -c)
    echo "    C:\\Horalog.Dat:"
    od -An -c "$drive_c/Horalog.Dat" 2>/dev/null | sed 's/^/    /' || true
    [ "$(od -An -c "$drive_c/Horalog.Dat" 2>/dev/null)" = "$expected" ] &&
        pass "C:\\Horalog.Dat holds the header and the opening record, Windows-1252, CR LF" ||
        fail "C:\\Horalog.Dat is not as expected"
    if title=$(window_title '^Horalog' 30); then
        pass "the window «$title» is open"
        import -window root "$build/first-start.png" 2>/dev/null || true
    else
        fail "no Horalog window after the first start"
    fi
else
    fail "no file-name notice at the first start"
fi

echo "== A console's horalog: Horalog.com"
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem\s*//p' | tr -s '\t ' ' '; }
echo "    Horalog.com: $(subsystem "$instdir/Horalog.com"); Horalog.exe: $(subsystem "$instdir/Horalog.exe")"
[ "$(subsystem "$instdir/Horalog.com")" = "00000003 (Windows CUI)" ] &&
    pass "Horalog.com, which a typed horalog runs, is a console program" ||
    fail "Horalog.com is no console program"
[ "$(subsystem "$instdir/Horalog.exe")" = "00000002 (Windows GUI)" ] &&
    pass "Horalog.exe stays the window's program" || fail "Horalog.exe is no GUI program"
windir=$(winepath -w "$instdir" | tr -d '\r')
# Through a file: a wineserver started by the command would hold a pipe open after it.
console() { wine cmd /c "cd /d $windir && horalog $1" >"$build/console.out" 2>/dev/null || true
            tr -d '\r' <"$build/console.out"; }
status_line=$(console --status)
echo "    cmd /c horalog --status: $status_line"
[[ "$status_line" == *"periode 0 ct (0 ct) "*" flex -35 ct" ]] &&
    pass "horalog --status prints its line in the console" || fail "no status line in the console"
rm -f "$drive_c/maaned.txt"
wine cmd /c "cd /d $windir && horalog --report=csv > C:\\maaned.txt" >/dev/null 2>&1 || true
head -c 3 "$drive_c/maaned.txt" 2>/dev/null | od -An -tx1 | grep -q "ef bb bf" &&
    grep -q "flex" "$drive_c/maaned.txt" &&
    pass "horalog --report=csv > maaned.txt writes the report, with its byte-order mark" ||
    fail "horalog --report=csv > maaned.txt wrote no report"

echo "== The installer over a running Horalog"
before=$(md5sum <"$instdir/Horalog.exe")
code=0
wine "$setup" /S || code=$?
[ "$code" = 2 ] && pass "a silent install over the running program stops with exit code 2" ||
    fail "a silent install over the running program ended with $code"
[ "$(md5sum <"$instdir/Horalog.exe")" = "$before" ] && window_title '^Horalog' 5 >/dev/null &&
    pass "the program's files are untouched and its window still runs" ||
    fail "the running program was changed or ended"
wineserver -k || true
wineserver -w
code=0
wine "$setup" /S || code=$?
wineserver -w
version_line=$(console --version)
[ "$code" = 0 ] && [ "$version_line" = "Horalog $version" ] &&
    pass "once Horalog is ended, it installs over it and runs («$version_line»)" ||
    fail "the install once Horalog ended gave $code and «$version_line»"
wineserver -k || true
wineserver -w

echo "== Uninstalling: Uninstall.exe /S"
wine "$instdir/Uninstall.exe" /S
wineserver -w
# The uninstaller runs from a copy in the temporary folder and may finish after wine returns.
for ((i = 0; i < 60; i++)); do [ -e "$instdir" ] && sleep 0.5 || break; done
if [ -e "$instdir" ]; then
    fail "left behind: $(cd "$instdir" && find . | tr '\n' ' ')"
else
    pass "the installation folder is gone"
fi
[ -e "$shortcut" ] && fail "the Start-menu entry stayed" || pass "the Start-menu entry is gone"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry stayed" ||
    pass "the uninstall entry is gone"
[ "$(wine reg query "$settings" | tr -d '\r' | grep -c REG_SZ)" = 5 ] &&
    pass "the five settings stayed" || fail "the settings did not stay"
[ -f "$drive_c/Horalog.Dat" ] && pass "C:\\Horalog.Dat stayed" || fail "C:\\Horalog.Dat is gone"
wineserver -k || true

if [ "$failures" -ne 0 ]; then
    echo "$failures Windows check(s) failed"
    exit 1
fi
echo "All Windows checks passed"
