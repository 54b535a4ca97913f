#!/usr/bin/env bash
# Runs one fuzz campaign: scripts/fuzz.sh TARGET SECONDS (a target of fuzz/, e.g. fuzz_gif_decoder).
# The campaign's corpus lives in build/fuzz/TARGET/corpus and grows from campaign to campaign; it
# starts from the kept corpus (fuzz/corpus/TARGET) and the generated seeds. Failing inputs go to
# build/fuzz/TARGET/findings. At the end the script prints the executions, the coverage and the
# findings, and merges what the campaign found into the kept corpus, minimised. Exits 1 when the
# campaign found something.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
bin=build/linux/bin/$target
index=build/linux/fuzz/targets.txt

cmake --build --preset linux --target "$target" >/dev/null
line=$(grep "^$target|" "$index" || true)
[ -n "$line" ] || { echo "fuzz: no target $target (see $index)" >&2; exit 2; }
IFS='|' read -r _ seeds max_len <<<"$line"

work=build/fuzz/$target
kept=fuzz/corpus/$target
mkdir -p "$work/corpus" "$work/findings" "$kept"
log=$work/campaign.log

# The campaign goes on after a finding only by being run again; the finding stays in findings/.
status=0
ASAN_OPTIONS=detect_leaks=1 "$bin" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2560 \
  -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" "$kept" "$seeds" >"$log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
findings=$(find "$work/findings" -type f | wc -l)
echo "$target: ${seconds} s, ${executions:-?} executions, ${coverage:-no coverage line}, $findings finding(s) in $work/findings"

# What the campaign reached beyond the kept corpus joins it: the fewest inputs that keep every
# feature (set-cover merge), so that the kept corpus stays small.
merged=$work/merged
rm -rf "$merged"
mkdir -p "$merged"
"$bin" -set_cover_merge=1 -max_len="$max_len" "$merged" "$kept" "$work/corpus" >>"$log" 2>&1
rm -rf "$kept"
mv "$merged" "$kept"
echo "$target: kept corpus $(find "$kept" -type f | wc -l) files, $(du -sb "$kept" | cut -f1) bytes"

if [ "$status" -ne 0 ] || [ "$findings" -gt 0 ]; then
  tail -n 40 "$log" >&2
  exit 1
fi
