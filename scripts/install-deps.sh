#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, when missing; packages
# named as arguments (CI's extra tools) as well.
set -euo pipefail
packages=(cmake make g++ qt6-base-dev qt6-translations-l10n libgl1-mesa-dev xvfb xauth imagemagick
  fonts-dejavu-core)
# The install test and the Debian package: validators, MIME and desktop databases, xdg-open
# with its MIME lookup, dpkg-shlibdeps.
packages+=(desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
  dpkg-dev file)
# KEST is a Windows program: Wine runs it, MinGW builds its stand-in for the Wine test, and a
# Russian UTF-8 locale gives Wine the code page 1251 for Cyrillic folder names.
packages+=(wine wine64 gcc-mingw-w64-x86-64 gcc-mingw-w64-i686 locales)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"; then
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
  fi
fi
if ! locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'; then
  echo "Generating the locale ru_RU.UTF-8"
  "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
