#!/usr/bin/env bash
# Builds Qt 6.4.2 (Core, Gui, Widgets, Test and the Windows platform plugin) for MinGW-w64 from
# Debian's own qt6-base source package, once: Debian ships no Windows Qt. It lives outside the
# clone, in $PMKEST_MINGW_QT (default ~/.cache/pmkest/qt-6.4.2-mingw64); a finished build is left
# alone.
# The first build takes about 30 minutes on two cores (1 877 s on a quiet 2-core machine,
# download and configure included).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
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
# MinGW's own runtime DLLs, which every program built with it needs beside it.
for dll in libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll; do
  found="$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")"
  [ -f "$found" ] || found="$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" -path '*posix*' 2>/dev/null | head -n 1)"
  [ -f "$found" ] || found="$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" 2>/dev/null | head -n 1)"
  cp "$found" "$prefix/bin/"
done
touch "$prefix/.complete"
echo "MinGW Qt is ready in $prefix"
