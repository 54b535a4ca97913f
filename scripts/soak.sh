#!/usr/bin/env bash
# Runs the real saver.scr under Wine for a while with items of every kind and looping music, and
# reports crashes, hangs and the growth of its memory, descriptors and threads.
#
#   scripts/soak.sh --minutes 3        (hours by hand: --minutes 240; --keep keeps its folder)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 "$root/tests/e2e/soak.py" --win32-bin "$root/build/win32/bin" --linux-bin "$root/build/linux/bin" \
  --work "${SOAK_WORK:-$root/build/linux/soak-work}" "$@"
