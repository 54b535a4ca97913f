#!/usr/bin/env bash
# Screenshots of the configuration dialog's five pages under Wine, for the README: builds a small
# saver with a banner strip, opens its dialog on a virtual display, turns the pages with the test
# driver and writes docs/panel-general.png ... docs/panel-behavior.png. Needs scripts/build.sh first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; kill "${xvfb:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
convert -size 470x62 gradient:'#457b9d-#1d3557' -fill white -gravity center -pointsize 24 \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf -annotate 0 'Ocean Views' BMP3:"$work/banner.bmp"
convert -size 320x240 gradient:'#1d3557-#a8dadc' "$work/a.png"
cat >"$work/panel.json" <<'JSON'
{
  "header": { "AllowCustomPlaylist": true, "Seconds": 8, "Loop": true },
  "strings": { "SaverName": "Ocean Views", "WebsiteURL": "www.example.com",
               "Effect": [1, 10, 23, 45, 71, 85, 96, 103, 115, 117] },
  "items": [ { "file": "a.png" } ],
  "music": [ { "file": "a.png", "ext": ".mp3" }, { "file": "a.png", "ext": ".mp3" } ],
  "configBanner": { "file": "banner.bmp" }
}
JSON
build/linux/bin/sspack build "$work/panel.json" --runtime build/win32/bin/saver.scr -o "$work/panel.scr" >/dev/null

exec 3< <(exec Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r number <&3
export DISPLAY=:$number WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
wineboot -i >/dev/null 2>&1
wineserver -w
wine "$work/panel.scr" /c >/dev/null 2>&1 &
driver() { wine build/win32/bin/ui_driver.exe "$@"; }
for _ in $(seq 60); do driver dump "Ocean Views" >/dev/null 2>&1 && break; sleep 0.5; done
sleep 1
geometry=$(xdotool search --onlyvisible --name '^Ocean Views$' getwindowgeometry --shell | tr '\n' ' ')
eval "$geometry"
for page in General Position Effects Sound Behavior; do
  driver tab "Ocean Views" PageControl "$page"
  [ "$page" = Effects ] && driver line "Ocean Views" lbEffects 114 && sleep 0.15
  sleep 0.5
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "docs/panel-${page,,}.png"
done
echo "docs/panel-*.png"
