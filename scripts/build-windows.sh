#!/usr/bin/env bash
# Cross-builds pmkest for 64-bit Windows into build-windows/ (pmkest.exe, kest-standin.exe, the
# test programs) and the ready folder build-windows/pmkest/. Needs the MinGW Qt of
# scripts/build-qt-mingw.sh. When the MinGW Qt 5 is there too, the Windows 7 and 8.1 build follows
# (scripts/build-windows7.sh). Arguments go to CMake, e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
qt="${PMKEST_MINGW_QT:-$HOME/.cache/pmkest/qt-6.4.2-mingw64}"
if [ ! -f "$qt/.complete" ]; then
  echo "No MinGW Qt in $qt: build it once with  bash scripts/build-qt-mingw.sh  (about 30 minutes)" >&2
  exit 2
fi
bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix ninja-build qt6-base-dev-tools nsis \
  fonts-dejavu-core
cmake -G Ninja -S . -B build-windows -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPMKEST_MINGW_QT="$qt" "$@" >/dev/null
cmake --build build-windows -j"$(nproc)"
cmake --build build-windows --target ready_folder
if [ -f "${PMKEST_MINGW_QT5:-$HOME/.cache/pmkest/qt-5.15.8-mingw64}/.complete" ]; then
  bash scripts/build-windows7.sh "$@"
fi
