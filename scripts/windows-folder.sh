#!/usr/bin/env bash
# Makes the folder a Windows user gets: saver.scr, sspack.exe and ssmaker.exe side by side, nothing
# else, so that both tools find the runtime beside themselves. Builds only those three (and the
# image libraries for Windows the first time), then installs them into the folder.
#
#   scripts/windows-folder.sh [FOLDER]      (default: out/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
folder=${1:-$root/out/windows}

scripts/setup.sh
scripts/build-win32-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target saver sspack ssmaker
cmake --install build/win32 --prefix "$folder" >/dev/null
echo "$folder: saver.scr sspack.exe ssmaker.exe"
