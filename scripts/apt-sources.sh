#!/usr/bin/env bash
# Writes deb-src entries that mirror the machine's own deb entries.
# With --install: exits 0 when it changed the apt configuration, 1 when nothing changed.
set -euo pipefail

target=/etc/apt/sources.list.d/saver-deb-src.sources

derive() {
  # deb822 files: every stanza of Types: deb becomes the same stanza with Types: deb-src.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$target" ] || continue
    awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[^\n]*deb([ \n]|$)/ && !/Enabled: *no/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
  done
  # one-line format: deb [options] uri suite components
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]\+//p' "$f" |
      awk '{
             opts=""; rest=$0
             if (match(rest, /^\[[^]]*\][[:space:]]*/)) { opts=substr(rest,1,RLENGTH); rest=substr(rest,RLENGTH+1) }
             n=split(rest, w, /[[:space:]]+/)
             if (n < 2) next
             printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", w[1], w[2]
             for (i=3;i<=n;i++) printf " %s", w[i]
             printf "\n"
             if (opts ~ /signed-by=/) { s=opts; sub(/.*signed-by=/, "", s); sub(/[] ].*/, "", s); printf "Signed-By: %s\n", s }
             printf "\n" }'
  done
}

# Only Debian's own archives carry the source packages we need; third-party entries are left out.
content=$(derive | awk 'BEGIN{RS=""; ORS="\n\n"} /debian/')
if [ "${1:-}" = "--print" ]; then printf '%s' "$content"; exit 0; fi

if [ -f "$target" ] && [ "$(cat "$target")" = "$(printf '%s' "$content")" ]; then
  exit 1
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
printf '%s' "$content" | "${sudo_cmd[@]}" tee "$target" >/dev/null
exit 0
