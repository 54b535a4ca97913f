#!/usr/bin/env bash
# Builds the image libraries of the win32 cross build (zlib, libpng, libjpeg-turbo, libtiff,
# giflib; Little CMS for colour profiles; libwebp; libheif with libde265 and dav1d for HEIF and
# AVIF), and Google Benchmark for the cross-built transition benchmark, as static i686 mingw-w64
# libraries from Debian's own source packages, into
# .deps/win32-i686 (include/, lib/), where cmake/toolchain-mingw-i686.cmake lets CMake's
# standard find_package() modules find them.
#
# Each library is built once per Debian version: a stamp under .deps/win32-i686/stamps records
# it, so a later run only asks apt which versions exist. Remove .deps/win32-i686 to rebuild all,
# or stamps/*.unavailable to retry versions that a mirror failed to serve.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=$root/.deps
prefix=$deps/win32-i686
stamps=$prefix/stamps
src=$deps/src
downloads=$src/download
builds=$deps/build
toolchain=$root/cmake/toolchain-mingw-i686.cmake
triple=i686-w64-mingw32
cc=$triple-gcc-posix
jobs=$(nproc)

mkdir -p "$stamps" "$downloads" "$builds" "$prefix/include" "$prefix/lib"

# Two runs at once would unpack and install over each other.
exec 9>"$deps/.lock"
flock 9

log=/dev/null
die() { echo "build-win32-deps: $*" >&2; exit 1; }

# Runs a command with its output in the current library's log; on failure shows the log's tail.
run() {
  if ! "$@" >>"$log" 2>&1; then
    tail -n 30 "$log" >&2
    die "failed: $* (full log: $log)"
  fi
}

# Source versions apt knows for a source package, newest first.
versions_of() {
  local -a found=() sorted=()
  local v i
  mapfile -t found < <(apt-cache showsrc "$1" 2>/dev/null |
    awk -v p="$1" '/^Package: /{ok = ($2 == p)} ok && /^Version: /{print $2}' | sort -u)
  for v in "${found[@]}"; do
    i=0
    while [ "$i" -lt "${#sorted[@]}" ] && dpkg --compare-versions "${sorted[$i]}" gt "$v"; do
      i=$((i + 1))
    done
    sorted=("${sorted[@]:0:$i}" "$v" "${sorted[@]:$i}")
  done
  if [ "${#sorted[@]}" -gt 0 ]; then printf '%s\n' "${sorted[@]}"; fi
}

# Downloads one version's source files (apt keeps files it already has); prints the .dsc path.
download() {
  local pkg=$1 version=$2
  local dsc="$downloads/${pkg}_${version#*:}.dsc"
  (cd "$downloads" && apt-get source --download-only -q "$pkg=$version") >>"$log" 2>&1 || return 1
  [ -f "$dsc" ] || return 1
  echo "$dsc"
}

# Configures a fresh build tree with the cross toolchain; static, release, installing to $prefix.
cmake_configure() {
  local source=$1 build=$2
  shift 2
  rm -rf "$build"
  run cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    "$@"
}

# Compiles the C files named on standard input, in parallel, into a fresh build tree and installs
# them as $prefix/lib/libNAME.a; the arguments after NAME and BUILD go to the compiler.
compile_c_library() {
  local name=$1 build=$2
  shift 2
  rm -rf "$build"
  mkdir -p "$build"
  (cd "$build" && run xargs -n 1 -P "$jobs" "$cc" -std=gnu99 -O2 -Wall "$@" -c)
  run "$triple-ar" rcs "$build/lib$name.a" "$build"/*.o
  run install -m 644 "$build/lib$name.a" "$prefix/lib/"
}

build_zlib() {
  local source=$1 build=$2
  cmake_configure "$source" "$build"
  # Only the static target: the DLL needs a resource script that the dfsg tarball drops, and
  # on Windows the static library would install as libzlibstatic.a, which FindZLIB may miss.
  run cmake --build "$build" --target zlibstatic -j "$jobs"
  run install -m 644 "$build/libzlibstatic.a" "$prefix/lib/libz.a"
  run install -m 644 "$source/zlib.h" "$build/zconf.h" "$prefix/include/"
}

build_libpng() {
  local source=$1 build=$2
  cmake_configure "$source" "$build" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

build_libjpeg_turbo() {
  local source=$1 build=$2
  # SIMD needs nasm (scripts/setup.sh installs it); without it the build falls back to plain C.
  cmake_configure "$source" "$build" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

build_tiff() {
  local source=$1 build=$2
  # zlib and libjpeg come from $prefix through the toolchain's find root; every other external
  # codec stays off so the static link needs nothing else.
  cmake_configure "$source" "$build" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-opengl=OFF \
    -Dcxx=OFF -Dsphinx=OFF \
    -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF \
    -Dlibdeflate=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
  # libtiff quietly drops a codec whose library it cannot find; that must not go unnoticed.
  grep -q '^#define ZIP_SUPPORT 1' "$prefix/include/tiffconf.h" || die "tiff: built without zlib"
  grep -q '^#define JPEG_SUPPORT 1' "$prefix/include/tiffconf.h" || die "tiff: built without jpeg"
}

build_giflib() {
  local source=$1 build=$2 sources f
  # The library is a handful of C files; its Makefile is Unix-only, so compile them directly,
  # taking the file list from that Makefile.
  # shellcheck disable=SC2016 # $(SOURCES) is for make to expand
  sources=$(make -s -C "$source" -f Makefile -f - print-sources <<<'print-sources: ; @echo $(SOURCES)' 2>>"$log") ||
    die "giflib: cannot read SOURCES from its Makefile"
  [ -n "$sources" ] || die "giflib: empty SOURCES in its Makefile"
  # shellcheck disable=SC2086 # the file list is meant to split into words
  for f in $sources; do echo "$source/$f"; done | compile_c_library gif "$build" -I"$source"
  run install -m 644 "$source/gif_lib.h" "$prefix/include/"
}

build_benchmark() {
  local source=$1 build=$2
  # Debian's package reads no version from git; 0.0.0 makes it take its project() version.
  cmake_configure "$source" "$build" -DGIT_VERSION=0.0.0 \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
    -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_ENABLE_INSTALL=ON
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

# Meson reads the cross compilers from a file of its own.
meson_cross() {
  local file=$builds/meson-cross-$triple.ini
  cat >"$file" <<EOF_CROSS
[binaries]
c = '$cc'
cpp = '$triple-g++-posix'
ar = '$triple-ar'
strip = '$triple-strip'
windres = '$triple-windres'
pkg-config = 'false'

[host_machine]
system = 'windows'
cpu_family = 'x86'
cpu = 'i686'
endian = 'little'
EOF_CROSS
  echo "$file"
}

# Configures, builds and installs a Meson project as a static library into $prefix.
meson_build() {
  local source=$1 build=$2
  shift 2
  rm -rf "$build"
  run meson setup "$build" "$source" --cross-file "$(meson_cross)" --prefix "$prefix" --libdir lib \
    --buildtype release --default-library static "$@"
  run meson compile -C "$build" -j "$jobs"
  run meson install -C "$build" --no-rebuild
}

build_lcms2() {
  local source=$1 build=$2
  # Its Meson build makes a DLL on Windows (stdcall entry points for import) even when asked for a
  # static library; its sources are plain C files.
  find "$source/src" -name '*.c' | compile_c_library lcms2 "$build" -DHasTHREADS=1 -I"$source/include"
  run install -m 644 "$source/include/lcms2.h" "$source/include/lcms2_plugin.h" "$prefix/include/"
}

build_libwebp() {
  local source=$1 build=$2
  cmake_configure "$source" "$build" \
    -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF \
    -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF \
    -DWEBP_BUILD_EXTRAS=OFF -DWEBP_BUILD_LIBWEBPMUX=ON -DWEBP_USE_THREAD=ON
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

build_libde265() {
  local source=$1 build=$2
  cmake_configure "$source" "$build" -DENABLE_SDL=OFF -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

build_dav1d() {
  local source=$1 build=$2
  # The assembly needs nasm (scripts/setup.sh installs it); 8- and 10-bit pictures both occur.
  meson_build "$source" "$build" -Denable_tools=false -Denable_tests=false -Denable_examples=false \
    -Denable_docs=false -Dbitdepths=8,16 -Dlogging=false
}

build_libheif() {
  local source=$1 build=$2
  # Decoding only, with both codecs linked in: HEVC through libde265, AV1 through dav1d. No plugin
  # loading: the screen saver must not pick up DLLs from wherever it runs.
  cmake_configure "$source" "$build" \
    -DENABLE_PLUGIN_LOADING=OFF -DWITH_EXAMPLES=OFF -DBUILD_TESTING=OFF \
    -DWITH_LIBDE265=ON -DWITH_LIBDE265_PLUGIN=OFF -DWITH_DAV1D=ON -DWITH_DAV1D_PLUGIN=OFF \
    -DWITH_X265=OFF -DWITH_AOM_DECODER=OFF -DWITH_AOM_ENCODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF \
    -DWITH_RAV1E_PLUGIN=OFF -DWITH_SvtEnc_PLUGIN=OFF -DWITH_GDK_PIXBUF=OFF \
    -DLIBDE265_INCLUDE_DIR="$prefix/include" -DLIBDE265_LIBRARY="$prefix/lib/libde265.a" \
    -DDAV1D_INCLUDE_DIR="$prefix/include" -DDAV1D_LIBRARY="$prefix/lib/libdav1d.a" \
    -DCMAKE_C_FLAGS=-DLIBDE265_STATIC_BUILD -DCMAKE_CXX_FLAGS=-DLIBDE265_STATIC_BUILD
  run cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
  # libheif quietly leaves out a codec it cannot find; that must not go unnoticed.
  grep -q "^Compiling 'libde265' as built-in backend" "$log" || die "libheif: built without libde265"
  grep -q "^Compiling 'dav1d' as built-in backend" "$log" || die "libheif: built without dav1d"
}

# Our own mends to a package's sources (scripts/patches/PACKAGE/*.patch, applied in name order):
# faults the fuzz targets found in libraries the screen saver links.
patches_of() {
  local dir=$root/scripts/patches/$1
  if [ -d "$dir" ]; then find "$dir" -name '*.patch' | sort; fi
}

# What a stamp records: the patches a build applied, so that a changed patch builds it again.
patch_sums() {
  local p
  while read -r p; do sha256sum <"$p"; done < <(patches_of "$1")
}

# Makes sure one source package is built at the newest version that can be downloaded.
ensure() {
  local pkg=$1 builder=$2
  local -a versions=()
  local built="" version dsc tree start stale p
  log=$builds/$pkg.log
  : >"$log"

  mapfile -t versions < <(versions_of "$pkg")
  [ "${#versions[@]}" -gt 0 ] ||
    die "$pkg: apt knows no source package; run scripts/setup.sh (deb-src entries and apt-get update)"

  for version in "${versions[@]}"; do
    if [ -e "$stamps/$pkg-$version" ] && [ "$(cat "$stamps/$pkg-$version")" = "$(patch_sums "$pkg")" ]; then
      built=$version
      break
    fi
  done

  # Try the versions newer than the built one, newest first. Some mirrors lack the security
  # suite's files; such a version is marked so later runs do not fetch it again, as long as an
  # older one is built (with nothing built, every version is tried again).
  for version in "${versions[@]}"; do
    [ "$version" != "$built" ] || break
    if [ -n "$built" ] && [ -e "$stamps/$pkg-$version.unavailable" ]; then continue; fi
    if ! dsc=$(download "$pkg" "$version"); then
      echo "$pkg $version: download failed" >>"$log"
      touch "$stamps/$pkg-$version.unavailable"
      continue
    fi
    start=$SECONDS
    tree=$src/$pkg-${version#*:}
    rm -rf "$tree"
    run dpkg-source --no-copy -x "$dsc" "$tree"
    while read -r p; do run patch -d "$tree" -p1 -i "$p"; done < <(patches_of "$pkg")
    "$builder" "$tree" "$builds/$pkg"
    # Import libraries would make the executable depend on DLLs; none may sit in the prefix.
    find "$prefix" \( -name '*.dll.a' -o -name '*.dll' \) -delete
    for stale in "$stamps/$pkg-"*; do
      case $stale in *.unavailable) ;; *) rm -f "$stale" ;; esac
    done
    rm -f "$stamps/$pkg-$version.unavailable"
    patch_sums "$pkg" >"$stamps/$pkg-$version"
    echo "$pkg $version: built ($((SECONDS - start)) s)"
    return
  done

  [ -n "$built" ] ||
    die "$pkg: none of the versions apt lists could be downloaded (${versions[*]}); see $log"
  echo "$pkg $built: up to date"
}

# Dependencies first: libpng and libtiff need zlib, libtiff needs libjpeg, libheif needs libde265
# and dav1d.
ensure zlib build_zlib
ensure libpng1.6 build_libpng
ensure libjpeg-turbo build_libjpeg_turbo
ensure tiff build_tiff
ensure giflib build_giflib
ensure benchmark build_benchmark
ensure lcms2 build_lcms2
ensure libwebp build_libwebp
ensure libde265 build_libde265
ensure dav1d build_dav1d
ensure libheif build_libheif
