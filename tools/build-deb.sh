#!/usr/bin/env bash
# Builds Horalog's Debian source and binary packages the way Debian builds them (dpkg-buildpackage
# with debhelper), from the files of this work tree, then checks both with lintian:
#   build-deb.sh [folder]        (default build-package; the .deb is also copied here)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-package}
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
# The dates inside the packages are the changelog's, so that two builds give the same bytes.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -S Timestamp)
export SOURCE_DATE_EPOCH

rm -rf "$out"
tree=$out/horalog-$upstream
mkdir -p "$tree"
# The upstream tarball: the tracked and new files, without debian/, with fixed dates and owners.
git ls-files -z -c -o --exclude-standard -- . ':!:debian' |
    tar --null -T - --ignore-failed-read -cf - | tar -xf - -C "$tree"
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    -C "$out" -cf - "horalog-$upstream" | gzip -9n > "$out/horalog_$upstream.orig.tar.gz"
cp -r debian "$tree/"

(cd "$tree" && dpkg-buildpackage -us -uc)

# Nothing above lintian's pedantic level, for the source package and the binary one alike.
lintian --pedantic -I -E --fail-on error,warning,info --allow-root "$out/horalog_${version}_$arch.changes"
cp "$out/horalog_${version}_$arch.deb" .
echo "build-deb.sh: horalog_${version}_$arch.deb"
