#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test (labels unit, sim, e2e, fuzz).
# Extra arguments go to ctest, e.g. scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh
ctest --preset linux -j "$(nproc)" "$@"
