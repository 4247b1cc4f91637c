#!/usr/bin/env bash
# Builds the Windows installer build-windows/pmkest-<version>-win64.exe and the portable copy
# build-windows/pmkest-<version>-win64-portable.zip from the cross build of
# scripts/build-windows.sh (run first here). Arguments go to CMake, e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh "$@"
cmake --build build-windows --target portable_zip >/dev/null
(cd build-windows && cpack -G NSIS >/dev/null)
ls "$PWD"/build-windows/pmkest-*-win64.exe "$PWD"/build-windows/pmkest-*-win64-portable.zip
