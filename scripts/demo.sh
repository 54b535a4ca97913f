#!/usr/bin/env bash
# Makes a demo screen saver from photographs, as a phone would keep them (JPEG, HEIC, AVIF, WebP and
# an MP4 video), and generated sounds, and shows it: on the simulated screen first (screenshots in
# out/demo/sim/, and a sheet of the pictures as they came in, out/demo/demo.jpg, which is the
# README's docs/demo.jpg), then full screen under Wine with its music, on the user's display when
# there is one, otherwise on a virtual one, until every item has appeared (a screenshot of each in
# out/demo/). It builds only what it needs, the Windows runtime, sspack and ssrender; the build's
# output goes to out/demo/build.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

demo=$root/out/demo
mkdir -p "$demo/pictures"
log=$demo/build.log
: >"$log"
started=$SECONDS

step() { printf 'demo [%3d s] %s\n' $((SECONDS - started)) "$*"; }
# Runs a command with its output in the log; on failure shows the log's end and stops.
logged() {
  if ! "$@" >>"$log" 2>&1; then
    echo "demo: failed: $*" >&2
    tail -n 25 "$log" >&2
    echo "demo: the whole log is $log" >&2
    exit 1
  fi
}

step "installing what is missing (scripts/setup.sh; the log is $log)"
logged scripts/setup.sh
step "building the image libraries for Windows (the first time only)"
logged scripts/build-win32-deps.sh
step "building the screen saver's runtime, saver.scr"
logged cmake --preset win32
logged cmake --build --preset win32 --target saver
step "building sspack and ssrender"
logged cmake --preset linux
logged cmake --build --preset linux --target sspack ssrender

step "making the demo's pictures, video and sounds"
# The photographs are Debian's (mate-backgrounds, which scripts/setup.sh installs): JPEGs as a
# camera writes them. The HEIC, AVIF and WebP are made from them with the formats' own encoders,
# and the video is three of them in turn, two seconds each, in H.264.
photos=/usr/share/backgrounds/mate/nature
rm -f "$demo"/pictures/*
cp "$photos/Dune.jpg" "$demo/pictures/dune.jpg"
cp "$photos/YellowFlower.jpg" "$demo/pictures/flower.jpg"
heif-enc -q 60 "$photos/LadyBird.jpg" -o "$demo/pictures/ladybird.heic" >>"$log"
avifenc -s 8 "$photos/Garden.jpg" "$demo/pictures/garden.avif" >>"$log"
cwebp -quiet -q 80 "$photos/Aqua.jpg" -o "$demo/pictures/drop.webp"
scaled='[0]scale=960:600,setsar=1[a];[1]scale=960:600,setsar=1[b];[2]scale=960:600,setsar=1[c]'
ffmpeg -v error -y -loop 1 -t 2 -i "$photos/RainDrops.jpg" -loop 1 -t 2 -i "$photos/TwoWings.jpg" \
  -loop 1 -t 2 -i "$photos/FreshFlower.jpg" -filter_complex "$scaled;[a][b][c]concat=n=3:v=1:a=0,format=yuv420p" \
  -r 25 -c:v libx264 -movflags +faststart "$demo/pictures/walk.mp4"
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
              "GradientStyle": "ellipses", "Stretch": "shrink", "ExitMouseMove": true, "LogoPosition": "top-right",
              "LogoOffsetX": 20, "LogoOffsetY": 20 },
  "strings": { "SaverName": "Demo Saver", "AboutText": "A demo built by scripts/demo.sh",
               "Effect": ["Slide From Up Left", "Door Open", "Unfold From Left", "Vertical Lines From Left & Back",
                          "Ellipse Out", "Chaos Star", "Random Horizontal Lines", "Zoom In", "Crossfade",
                          "Fade Unfold From Left"] },
  "items": [
    { "file": "pictures/dune.jpg", "caption": { "text": "Dunes by the sea (JPEG)" } },
    { "file": "pictures/ladybird.heic", "enterSound": 0, "caption": { "text": "A ladybird (HEIC)" } },
    { "file": "pictures/drop.webp", "caption": { "text": "A drop (WebP)", "position": "top-left" } },
    { "file": "pictures/garden.avif", "caption": { "text": "In the garden (AVIF)" } },
    { "file": "pictures/walk.mp4" },
    { "file": "pictures/flower.jpg", "filters": ["mirror"], "caption": { "text": "Mirrored (JPEG)" } }
  ],
  "music": [ { "file": "pictures/melody.wav", "compress": true } ],
  "entrySounds": [ { "file": "pictures/chime.wav" } ],
  "logo": { "file": "pictures/logo.png" },
  "previewImage": { "file": "pictures/preview.bmp" }
}
JSON
items=6
saver="$demo/Demo Saver.scr"

step "building the demo screen saver with sspack"
build/linux/bin/sspack build "$demo/demo.json" -o "$saver"
build/linux/bin/sspack check "$saver"
build/linux/bin/sspack list "$saver"

step "running it on the simulated screen with ssrender"
rm -rf "$demo/sim"
build/linux/bin/ssrender run "$saver" --screen 1280x720 --seconds 30 --out "$demo/sim"
echo "demo: after each transition: $demo/sim/transition-*.png"
# The README's picture: the first four pictures as they came in, each at half size.
montage "$demo"/sim/transition-000[1-4].png -tile 2x2 -geometry 640x360+0+0 -quality 85 "$demo/demo.jpg"
echo "demo: the pictures as they came in: $demo/demo.jpg"

step "running it full screen under Wine until each of its $items items has appeared"
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
trace=$demo/trace.txt
rm -f "$trace"
SAVER_TRACE="Z:${trace//\//\\}" wine "$saver" /s 2>>"$log" &
saver_pid=$!

# The trace says when an item is on screen: the first at once, each later one when its transition
# ends. A screenshot follows each, until every item has shown or a minute and a half has passed.
lines() {
  local n
  n=$(grep -c "$1" "$trace" 2>/dev/null) || true
  echo "${n:-0}"
}
items_seen() { grep -o 'Item [0-9]* shown' "$trace" 2>/dev/null | sort -u | wc -l; }
shots=0
deadline=$((SECONDS + 90))
while [ $SECONDS -lt $deadline ] && kill -0 "$saver_pid" 2>/dev/null; do
  first=$(lines 'Item 0 shown')
  wanted=$(((first > 0 ? 1 : 0) + $(lines 'Restart Timer')))
  while [ "$shots" -lt "$wanted" ]; do
    shots=$((shots + 1))
    sleep 0.3
    item=$(grep -o 'Item [0-9]* shown' "$trace" | tail -n 1 | cut -d' ' -f2)
    import -window root "$demo/screen-$shots.png"
    echo "demo: item $item on screen: $demo/screen-$shots.png"
  done
  if [ "$(items_seen)" -ge "$items" ] && [ "$shots" -ge "$items" ]; then break; fi
  sleep 0.2
done
xdotool key Escape
for _ in $(seq 20); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.5; done
step "done: $shots screenshots; $(items_seen) of the $items items were seen"
