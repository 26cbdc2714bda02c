#!/usr/bin/env bash
# The desktop's own checks of the desktop entry, the AppStream file and the Debian package, each
# run where its tool is installed: check-desktop.sh <build folder>
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$top/packaging/horalog.desktop")
    [ -z "$out" ] || { echo "$out"; exit 1; }
    echo "desktop-file-validate: clean"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$top/packaging/dk.kvistborg.horalog.metainfo.xml"
fi
if command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
    (cd "$build" && cpack -G DEB >/dev/null)
    lintian --fail-on error --allow-root "$build"/horalog_*_amd64.deb
    echo "lintian: no errors"
fi
