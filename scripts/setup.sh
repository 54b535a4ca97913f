#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test the project.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

packages=(
  build-essential cmake ninja-build pkg-config git file dpkg-dev nasm
  # clang only recommends the runtimes of its sanitizers and of libFuzzer
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  # the photo formats of phones and the web, and colour profiles (meson cross-builds dav1d)
  libheif-dev libde265-dev libdav1d-dev libwebp-dev liblcms2-dev meson
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev libpixman-1-dev
  # Little CMS's own jpgicc and tificc: the reference of the colour profile tests
  liblcms2-utils
  wine wine32:i386 xvfb xdotool imagemagick x11-utils libxfixes3 python3
  # an X server with two monitors of different sizes, which Wine reports as two (Xvfb has one output)
  xserver-xorg-video-dummy
  pulseaudio pulseaudio-utils ffmpeg gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  # WMV under Wine: the decoders, the ASF demuxer, and 32-bit OpenGL, without which Wine's video
  # renderer fails on the virtual display and takes the program down with it
  gstreamer1.0-libav:i386 gstreamer1.0-plugins-ugly:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  # MPEG movies under Wine: the program stream demuxer
  gstreamer1.0-plugins-bad:i386
  # the picture formats' own tools, which make the tests' and the demo's HEIC, AVIF and WebP files,
  # and the photographs the demo shows
  libheif-examples webp libavif-bin mate-backgrounds
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

# The cross build compiles the image libraries from Debian's own source packages. The source
# entries mirror the machine's binary entries, so the repository never names a server.
if "$here/apt-sources.sh" --install; then need_update=1; fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
