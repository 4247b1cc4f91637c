#!/usr/bin/env bash
# Builds and runs the whole test suite (offscreen): the Linux build, then the Windows build's
# suites under Wine on a virtual display, when the MinGW Qt is there, and those of the Windows 7
# build (Qt 5.15) when the MinGW Qt 5 is there. Arguments go to CMake, e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

qt="${PMKEST_MINGW_QT:-$HOME/.cache/pmkest/qt-6.4.2-mingw64}"
if [ -f "$qt/.complete" ]; then
  bash scripts/build-windows.sh "$@"
  # Wine makes windows only on an X display, one its first program saw: the suite that plays the
  # end of a Windows session needs them.
  (cd build-windows && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$(nproc)")
else
  echo "The Windows leg was not run: there is no MinGW Qt in $qt. Build it once with"
  echo "  bash scripts/build-qt-mingw.sh    (about 30 minutes), then run this again."
fi

# The Windows 7 and 8.1 build (Qt 5.15), its suites on a Wine that reports Windows 7.
qt5="${PMKEST_MINGW_QT5:-$HOME/.cache/pmkest/qt-5.15.8-mingw64}"
if [ -f "$qt5/.complete" ]; then
  # build-windows.sh has built it along with the main Windows build.
  [ -f "$qt/.complete" ] || bash scripts/build-windows7.sh "$@"
  (cd build-windows7 && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$(nproc)")
else
  echo "The Windows 7 leg was not run: there is no MinGW Qt 5 in $qt5. Build it once with"
  echo "  bash scripts/build-qt-mingw.sh 5    (about 30 minutes), then run this again."
fi
