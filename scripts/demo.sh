#!/usr/bin/env bash
# Builds everything, makes a demo screen saver from generated sample pictures and sounds, shows
# what it carries, and runs it full screen under Wine for a few seconds, with its music: on the
# user's display when there is one, otherwise on a virtual display, with screenshots in out/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh

demo=$root/out/demo
mkdir -p "$demo/pictures"
# Sample pictures from ImageMagick's built-in images and gradients: nothing is downloaded.
convert -size 1024x768 gradient:'#1d3557-#a8dadc' "$demo/pictures/dusk.jpg"
convert -size 800x600 plasma:fractal -seed 7 "$demo/pictures/plasma.png" 2>/dev/null ||
  convert -size 800x600 gradient:'#e63946-#f1faee' "$demo/pictures/plasma.png"
convert wizard: "$demo/pictures/wizard.png"
convert rose: -resize 400% "$demo/pictures/rose.jpg"
convert -delay 60 -size 240x180 xc:'#e63946' -delay 60 -size 240x180 xc:'#f1faee' \
  -delay 60 -size 240x180 xc:'#457b9d' -loop 0 "$demo/pictures/blink.gif"
convert -size 160x48 xc:'#1d3557' -fill '#f1faee' -gravity center -pointsize 22 \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf -annotate 0 'DEMO' PNG24:"$demo/pictures/logo.png"
convert -size 152x112 gradient:'#457b9d-#1d3557' -fill white -gravity center -pointsize 18 \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
  -annotate 0 'Demo' BMP3:"$demo/pictures/preview.bmp"

# A short melody and a chime, written as WAV files.
python3 - "$demo/pictures" <<'PY'
import math, struct, sys, wave

def tune(path, notes, beat):
    rate = 22050
    frames = bytearray()
    for midi in notes:
        f = 440 * 2 ** ((midi - 69) / 12)
        n = int(rate * beat)
        for i in range(n):
            envelope = min(1.0, i / 400) * (1 - i / n) ** 2
            frames += struct.pack("<h", int(9000 * envelope * math.sin(2 * math.pi * f * i / rate)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))

tune(sys.argv[1] + "/melody.wav", [60, 64, 67, 72, 67, 64, 62, 65, 69, 74, 69, 65, 60, 67, 64, 60], 0.5)
tune(sys.argv[1] + "/chime.wav", [84, 88], 0.25)
PY

cat >"$demo/demo.json" <<'JSON'
{
  "header": { "Seconds": 3, "EffectSpeed": 7, "Loop": true,
              "BackgroundColor": "#1d3557", "BackgroundColor2": "#457b9d",
              "GradientStyle": 3, "Stretch": 4, "ExitMouseMove": true, "LogoPosition": 1,
              "LogoOffsetX": 20, "LogoOffsetY": 20 },
  "strings": { "SaverName": "Demo Saver", "AboutText": "A demo built by scripts/demo.sh",
               "Effect": [1, 10, 23, 45, 71, 85, 96, 103, 115, 117] },
  "items": [
    { "file": "pictures/dusk.jpg", "caption": { "text": "Dusk over the bay" } },
    { "file": "pictures/plasma.png", "compress": true, "caption": { "text": "Plasma", "position": 0 } },
    { "file": "pictures/wizard.png", "compress": true, "sizeMode": 2 },
    { "file": "pictures/blink.gif", "sizeMode": 2, "enterSound": 0, "caption": { "text": "An animated GIF" } },
    { "file": "pictures/rose.jpg", "filters": 1 }
  ],
  "music": [ { "file": "pictures/melody.wav", "compress": true } ],
  "entrySounds": [ { "file": "pictures/chime.wav" } ],
  "logo": { "file": "pictures/logo.png" },
  "previewImage": { "file": "pictures/preview.bmp" }
}
JSON

build/linux/bin/sspack build "$demo/demo.json" --runtime build/win32/bin/saver.scr -o "$demo/Demo Saver.scr"
build/linux/bin/sspack check "$demo/Demo Saver.scr"
build/linux/bin/sspack list "$demo/Demo Saver.scr"
echo "demo: $demo/Demo Saver.scr"

export WINEPREFIX=$root/out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
xvfb=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x720x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  read -r number <&3
  export DISPLAY=:$number
fi
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
[ -f "$WINEPREFIX/.ready" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; touch "$WINEPREFIX/.ready"; }

rm -f "$demo"/screen-*.png
wine "$demo/Demo Saver.scr" /s &
saver=$!
for shot in 1 2 3 4 5 6 7 8; do
  sleep 1.5
  if [ -n "$xvfb" ]; then import -window root "$demo/screen-$shot.png"; fi
done
xdotool key Escape
for _ in $(seq 20); do kill -0 "$saver" 2>/dev/null || break; sleep 0.5; done
if [ -n "$xvfb" ]; then echo "screenshots: $demo/screen-*.png"; fi
