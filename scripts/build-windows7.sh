#!/usr/bin/env bash
# Cross-builds the Windows 7 and 8.1 program (Qt 5.15) into build-windows7/ and its ready folder
# build-windows7/pmkest/. Needs the MinGW Qt 5 of  scripts/build-qt-mingw.sh 5. Arguments go to
# CMake, e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
qt="${PMKEST_MINGW_QT5:-$HOME/.cache/pmkest/qt-5.15.8-mingw64}"
if [ ! -f "$qt/.complete" ]; then
  echo "No MinGW Qt 5 in $qt: build it once with  bash scripts/build-qt-mingw.sh 5" >&2
  exit 2
fi
# Qt 5's own Russian texts come from Debian's Qt 5 translations.
bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix ninja-build nsis fonts-dejavu-core \
  qttranslations5-l10n
cmake -G Ninja -S . -B build-windows7 -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DPMKEST_QT_MAJOR=5 \
  -DQt5_DIR="$qt/lib/cmake/Qt5" -DPMKEST_MINGW_QT="$qt" "$@" >/dev/null
cmake --build build-windows7 -j"$(nproc)"
cmake --build build-windows7 --target ready_folder
