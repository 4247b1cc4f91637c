#!/usr/bin/env bash
# Builds the Debian package build-package/pmkest_<version>_<arch>.deb: a Release build,
# installed under /usr, stripped, with dependencies read off the shared libraries it uses.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DPMKEST_TESTS=OFF "$@" >/dev/null
cmake --build build-package -j"$(nproc)" --target pmkest
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/pmkest_*.deb
