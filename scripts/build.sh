#!/usr/bin/env bash
# Builds both presets: the Windows cross build (saver.scr, sspack.exe) and the Linux build
# (simulated platform, tools, tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/build-win32-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset linux >/dev/null
cmake --build --preset linux
