#!/usr/bin/env bash
# Builds pmkest and starts it in the demo folder (under Xvfb when there is no display).
# On first use demo/ gets a program folder, a KEST folder with kest-standin as KEST, and one
# project; press Start to see KEST (the stand-in) run on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/prepare-demo.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a demo/program/pmkest "$@"
fi
exec demo/program/pmkest "$@"
