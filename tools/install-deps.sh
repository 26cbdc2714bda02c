#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when one is missing.
set -euo pipefail
packages=(cmake make g++ pkg-config qt6-base-dev libgl-dev googletest libgtest-dev libgmock-dev
          libbenchmark-dev qt6-translations-l10n locales libfaketime
          desktop-file-utils appstream lintian dpkg-dev "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq "${missing[@]}"
fi
# The tests run in the Danish locale too, the one the program's users have.
if ! locale -a 2>/dev/null | grep -qix 'da_DK.utf8'; then
    echo "Generating the locale da_DK.UTF-8"
    $sudo sed -i -E 's/^# *(da_DK.UTF-8 UTF-8)/\1/' /etc/locale.gen
    grep -q '^da_DK.UTF-8 UTF-8' /etc/locale.gen || echo 'da_DK.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
