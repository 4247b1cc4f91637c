#!/usr/bin/env bash
# Configures and builds into build/ (the executable is build/pmkest). Arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)"
