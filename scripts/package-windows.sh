#!/usr/bin/env bash
# Builds the Windows installer build-windows/pmkest-<version>-win64.exe and the portable copy
# build-windows/pmkest-<version>-win64-portable.zip from the cross build of
# scripts/build-windows.sh (run first here), and with the MinGW Qt 5 the Windows 7 build's
# build-windows7/pmkest-<version>-win7-x64.exe and -win7-x64-portable.zip. Arguments go to CMake,
# e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh "$@"
packages=()
for build in build-windows build-windows7; do
  [ -f "$build/CMakeCache.txt" ] || continue
  [ "$build" = build-windows7 ] && [ ! -f "${PMKEST_MINGW_QT5:-$HOME/.cache/pmkest/qt-5.15.8-mingw64}/.complete" ] && continue
  cmake --build "$build" --target portable_zip >/dev/null
  (cd "$build" && cpack -G NSIS >/dev/null)
  packages+=("$PWD/$build"/pmkest-*-win*.exe "$PWD/$build"/pmkest-*-portable.zip)
done
ls "${packages[@]}"
