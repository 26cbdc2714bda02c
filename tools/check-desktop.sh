#!/usr/bin/env bash
# The desktop's own checks of the menu entry, the AppStream file and the man pages, as CMake made
# them for this build: check-desktop.sh <build folder>
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
made="$1/packaging"
status=0
out=$(desktop-file-validate "$top/packaging/dk.kvistborg.horalog.desktop" 2>&1) || status=1
[ -z "$out" ] || { echo "$out"; status=1; }
echo "desktop-file-validate: ${out:-clean}"
appstreamcli validate --pedantic --no-net "$made/dk.kvistborg.horalog.metainfo.xml" || status=1
for page in "$made/en/horalog.1" "$made/da/horalog.1"; do
    # groff -ww warns of every questionable request; a page that renders cleanly says nothing.
    out=$(preconv "$page" | groff -ww -man -Tutf8 -z 2>&1)
    [ -z "$out" ] || { echo "$page: $out"; status=1; }
    grep -q '^\.SH \(BUGS\|FEJL\)$' "$page" && grep -q '^\.SH \(SEE ALSO\|SE OGSÅ\)$' "$page" ||
        { echo "$page lacks its bugs or see-also section"; status=1; }
done
[ "$status" -ne 0 ] || echo "groff -ww: both man pages clean"
exit "$status"
