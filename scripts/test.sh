#!/usr/bin/env bash
# Builds and runs the whole test suite (offscreen; no display needed). Arguments go to CMake,
# e.g. -DPMKEST_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
