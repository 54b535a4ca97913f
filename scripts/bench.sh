#!/usr/bin/env bash
# Runs the transition benchmark of both builds, the Linux one and the cross-built one under Wine
# (the program people run), each a few times on one core, and prints for every effect at 1920 x 1080
# and 3840 x 2160 the worst frame in ms, its ratio to a memory copy of one frame measured in the same
# run, and the ratio of the 32-bit build to the 64-bit one; then "Crossfade" against the floor of the
# bytes it touches. Each figure is the best of the runs. Both builds must be built already.
#
#   scripts/bench.sh [--runs N] [--filter REGEX]   (results in out/bench/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=3
filter=.
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --filter) filter=$2; shift 2 ;;
    *) echo "usage: scripts/bench.sh [--runs N] [--filter REGEX]" >&2; exit 2 ;;
  esac
done

linux=$root/build/linux/bin/transition_bench
win32=$root/build/win32/bin/transition_bench.exe
for program in "$linux" "$win32"; do
  [ -x "$program" ] || [ -f "$program" ] || { echo "bench: $program is not built" >&2; exit 1; }
done

out=$root/out/bench
mkdir -p "$out"
rm -f "$out"/linux-*.json "$out"/win32-*.json

export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/.ready" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; touch "$WINEPREFIX/.ready"; }
trap 'wineserver -k 2>/dev/null || true' EXIT

# One core, the same for every run; the other one takes whatever else the machine does.
pin=()
if command -v taskset >/dev/null && [ "$(nproc)" -gt 1 ]; then pin=(taskset -c 1); fi

for run in $(seq "$runs"); do
  echo "bench: run $run of $runs, Linux" >&2
  "${pin[@]}" "$linux" --benchmark_filter="$filter" --benchmark_format=json >"$out/linux-$run.json"
  echo "bench: run $run of $runs, Windows under Wine" >&2
  "${pin[@]}" wine "$win32" --benchmark_filter="$filter" --benchmark_format=json >"$out/win32-$run.json" 2>/dev/null
done
python3 "$root/scripts/bench-table.py" "$out" | tee "$out/table.md"
