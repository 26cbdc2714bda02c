#!/usr/bin/env bash
# Installs the Debian packages a step needs, only those missing:
#   install-deps.sh build|test [more packages...]
# build: what building and running the program needs; test: that and what the tests need.
set -euo pipefail
# Building and running: what the Debian package declares, its Build-Depends (less debhelper,
# which only the package's own build uses) and its Depends, with the make and g++ that Debian
# takes for granted.
control=$(dirname "$0")/../debian/control
declared=$(awk '/^(Build-Depends|Depends):/ { on = 1; sub(/^[^:]*:/, "") } /^[^ \t]/ && !/^(Build-Depends|Depends):/ { on = 0 }
                on { print }' "$control" | tr ',' '\n' | sed -e 's/([^)]*)//g' -e 's/\$[{][^}]*[}]//g' |
           tr -d ' \t' | grep -v -e '^$' -e '^debhelper')
read -r -a build <<< "make g++ $(echo $declared)"
# The tests add: the Danish locale, libfaketime to move the clock, Qt Svg for the icon, the
# validators of the desktop entry, the AppStream file and the man pages, and a D-Bus daemon for
# private buses with a stand-in logind.
test=("${build[@]}" googletest libgtest-dev qt6-svg-dev locales libfaketime groff-base
      desktop-file-utils appstream dbus-daemon)
case "${1:-build}" in
    build) packages=("${build[@]}") ;;
    test) packages=("${test[@]}") ;;
    *) echo "install-deps.sh: build or test, then any further packages" >&2; exit 2 ;;
esac
shift || true
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
needsLocale=false
if [[ " ${packages[*]} " == *" locales "* ]] &&
   ! locale -a 2>/dev/null | grep -qix 'da_DK.utf8'; then
    needsLocale=true
fi
[ ${#missing[@]} -eq 0 ] && [ "$needsLocale" = false ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "These Debian packages are missing: ${missing[*]:-(none)}" >&2
        echo "Run as root, then try again:" >&2
        [ ${#missing[@]} -eq 0 ] || echo "    apt-get update && apt-get install -y ${missing[*]}" >&2
        [ "$needsLocale" = false ] ||
            echo "    echo 'da_DK.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen" >&2
        exit 1
    fi
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qix 'da_DK.utf8' && [[ " ${packages[*]} " == *" locales "* ]]; then
    echo "Generating the locale da_DK.UTF-8"
    grep -q '^da_DK.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'da_DK.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    "${as_root[@]}" locale-gen >/dev/null
fi
