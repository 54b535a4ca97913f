#!/usr/bin/env bash
# Builds everything, makes a demo screen saver from generated sample pictures and shows what it
# carries.
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
convert -size 152x112 gradient:'#457b9d-#1d3557' -fill white -gravity center -pointsize 18 \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
  -annotate 0 'Demo' BMP3:"$demo/pictures/preview.bmp"

cat >"$demo/demo.json" <<'JSON'
{
  "header": { "Seconds": 4, "EffectSpeed": 6, "BackgroundColor": "#1d3557", "ExitMouseMove": true },
  "strings": { "SaverName": "Demo Saver", "AboutText": "A demo built by scripts/demo.sh", "Effect": [1, 5, 23, 115] },
  "items": [
    { "file": "pictures/dusk.jpg", "caption": { "text": "Dusk" } },
    { "file": "pictures/plasma.png", "compress": true },
    { "file": "pictures/wizard.png", "compress": true, "sizeMode": 2 },
    { "file": "pictures/rose.jpg" }
  ],
  "previewImage": { "file": "pictures/preview.bmp" }
}
JSON

build/linux/bin/sspack build "$demo/demo.json" --runtime build/win32/bin/saver.scr -o "$demo/Demo Saver.scr"
build/linux/bin/sspack check "$demo/Demo Saver.scr"
build/linux/bin/sspack list "$demo/Demo Saver.scr"
echo "demo: $demo/Demo Saver.scr"
