#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test (labels unit, sim, e2e, fuzz),
# then runs the unit and sim tests once more under the sanitizers (the sanitize preset).
# Extra arguments go to the first ctest, e.g. scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh
ctest --preset linux -j "$(nproc)" "$@"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)"
