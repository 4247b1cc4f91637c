#!/usr/bin/env bash
# Builds Qt for MinGW-w64 from Debian's own source packages, once: Debian ships no Windows Qt.
#   Qt 6.4.2 (qt6-base) into $PMKEST_MINGW_QT (default ~/.cache/pmkest/qt-6.4.2-mingw64);
#   Qt 5.15.8 (qtbase-opensource-src) into $PMKEST_MINGW_QT5
#   (default ~/.cache/pmkest/qt-5.15.8-mingw64), for Windows 7.
# Both hold Core, Gui, Widgets, Test and the Windows platform plugin; a finished build is left
# alone. "build-qt-mingw.sh 6" or "build-qt-mingw.sh 5" builds only one.
# On two quiet cores the first Qt 6 build takes about 30 minutes (1 877 s, download and configure
# included), the Qt 5 one about 15 minutes.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
which="${1:-all}"
case "$which" in
  all | 5 | 6) ;;
  *) echo "usage: $0 [5|6]" >&2; exit 2 ;;
esac

# MinGW's own runtime DLLs, which every program built with it needs beside it.
copy_mingw_runtime() {
  local dll found
  for dll in libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll; do
    found="$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")"
    [ -f "$found" ] || found="$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" -path '*posix*' 2>/dev/null | head -n 1)"
    [ -f "$found" ] || found="$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" 2>/dev/null | head -n 1)"
    cp "$found" "$1/bin/"
  done
}

# Each part runs in a subshell of its own: its cd and its early exit stay inside.
build_qt6() (
  prefix="${PMKEST_MINGW_QT:-$HOME/.cache/pmkest/qt-6.4.2-mingw64}"
  work="${PMKEST_MINGW_QT_WORK:-$HOME/.cache/pmkest/qt-6.4.2-mingw64-build}"
  if [ -f "$prefix/.complete" ]; then
    echo "MinGW Qt is ready in $prefix"
    exit 0
  fi
  echo "Building Qt 6.4.2 for MinGW into $prefix, once: about 30 minutes on two cores"
  bash "$here/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix ninja-build qt6-base-dev-tools \
    dpkg-dev

  # The source package needs a deb-src entry; derive one from the machine's own Debian entries.
  if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version: 6\.4\.2'; then
    bash "$here/scripts/add-deb-src.sh"
  fi

  mkdir -p "$work"
  cd "$work"
  src="$(find . -maxdepth 1 -type d -name 'qt6-base-6.4.2*' | head -n 1)"
  if [ -z "$src" ]; then
    apt-get source --download-only qt6-base=6.4.2+dfsg-10 || apt-get source --download-only qt6-base
    dpkg-source --no-check -x qt6-base_6.4.2*.dsc
    src="$(find . -maxdepth 1 -type d -name 'qt6-base-6.4.2*' | head -n 1)"
  fi

  # Host tools (moc, rcc, uic) come from Debian's own Qt of the same version.
  rm -rf build
  cmake -G Ninja -S "$src" -B build \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DBUILD_SHARED_LIBS=ON \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_libpng=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_libjpeg=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_fontconfig=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF
  cmake --build build --parallel "$(nproc)"
  cmake --install build
  copy_mingw_runtime "$prefix"
  touch "$prefix/.complete"
  echo "MinGW Qt is ready in $prefix"
)

build_qt5() (
  prefix="${PMKEST_MINGW_QT5:-$HOME/.cache/pmkest/qt-5.15.8-mingw64}"
  work="${PMKEST_MINGW_QT5_WORK:-$HOME/.cache/pmkest/qt-5.15.8-mingw64-build}"
  if [ -f "$prefix/.complete" ]; then
    echo "MinGW Qt 5 is ready in $prefix"
    exit 0
  fi
  echo "Building Qt 5.15.8 for MinGW into $prefix, once: about 15 minutes on two cores"
  bash "$here/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix make g++ perl dpkg-dev

  if ! apt-cache showsrc qtbase-opensource-src 2>/dev/null | grep -q '^Version: 5\.15\.8'; then
    bash "$here/scripts/add-deb-src.sh"
  fi

  mkdir -p "$work"
  cd "$work"
  src="$(find "$PWD" -maxdepth 1 -type d -name 'qtbase-opensource-src-5.15.8*' | head -n 1)"
  if [ -z "$src" ]; then
    apt-get source --download-only qtbase-opensource-src
    dpkg-source --no-check -x qtbase-opensource-src_5.15.8*.dsc
    src="$(find "$PWD" -maxdepth 1 -type d -name 'qtbase-opensource-src-5.15.8*' | head -n 1)"
  fi

  # win32-g++ appends gcc/g++ to CROSS_COMPILE, which would pick the win32-thread compilers; the
  # libstdc++ DLL must be the posix one that Qt 6 and pmkest use. The links live in the prefix so
  # that the installed qmake keeps working after the work folder is gone.
  rm -rf "$prefix" build
  cross="$prefix/mingw-tools"
  mkdir -p "$cross" build
  ln -s "$(command -v x86_64-w64-mingw32-gcc-posix)" "$cross/x86_64-w64-mingw32-gcc"
  ln -s "$(command -v x86_64-w64-mingw32-g++-posix)" "$cross/x86_64-w64-mingw32-g++"
  for tool in windres ar ranlib strip objcopy nm; do
    ln -s "$(command -v "x86_64-w64-mingw32-$tool")" "$cross/x86_64-w64-mingw32-$tool"
  done

  # Debian's source lacks the Windows tablet header, hence no tabletevent. Host tools (qmake,
  # moc, rcc, uic) are built for this machine into the prefix's bin.
  cd build
  "$src/configure" -xplatform win32-g++ -device-option CROSS_COMPILE="$cross/x86_64-w64-mingw32-" \
    -prefix "$prefix" -opensource -confirm-license -release -shared -silent \
    -nomake examples -nomake tests \
    -no-opengl -no-icu -no-dbus -no-direct2d -no-zstd -no-feature-tabletevent \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
    -no-feature-printer \
    -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion
  # "make install" alone would skip the bundled third-party libraries, which are built but not
  # installed.
  nice -n 10 make -j"$(nproc)"
  make -j"$(nproc)" install
  copy_mingw_runtime "$prefix"
  touch "$prefix/.complete"
  echo "MinGW Qt 5 is ready in $prefix"
)

if [ "$which" != 5 ]; then build_qt6; fi
if [ "$which" != 6 ]; then build_qt5; fi
