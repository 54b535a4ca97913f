#!/usr/bin/env bash
# Builds the image libraries of the win32 cross build (zlib, libpng, libjpeg-turbo, libtiff,
# giflib), and Google Benchmark for the cross-built transition benchmark, as static i686 mingw-w64
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
  rm -rf "$build"
  mkdir -p "$build"
  # shellcheck disable=SC2086 # the file list is meant to split into words
  (cd "$build" && for f in $sources; do echo "$source/$f"; done |
    run xargs -n 1 -P "$jobs" "$cc" -std=gnu99 -O2 -Wall -I"$source" -c)
  run "$triple-ar" rcs "$build/libgif.a" "$build"/*.o
  run install -m 644 "$build/libgif.a" "$prefix/lib/"
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

# Makes sure one source package is built at the newest version that can be downloaded.
ensure() {
  local pkg=$1 builder=$2
  local -a versions=()
  local built="" version dsc tree start stale
  log=$builds/$pkg.log
  : >"$log"

  mapfile -t versions < <(versions_of "$pkg")
  [ "${#versions[@]}" -gt 0 ] ||
    die "$pkg: apt knows no source package; run scripts/setup.sh (deb-src entries and apt-get update)"

  for version in "${versions[@]}"; do
    if [ -e "$stamps/$pkg-$version" ]; then built=$version; break; fi
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
    "$builder" "$tree" "$builds/$pkg"
    # Import libraries would make the executable depend on DLLs; none may sit in the prefix.
    find "$prefix" \( -name '*.dll.a' -o -name '*.dll' \) -delete
    for stale in "$stamps/$pkg-"*; do
      case $stale in *.unavailable) ;; *) rm -f "$stale" ;; esac
    done
    rm -f "$stamps/$pkg-$version.unavailable"
    touch "$stamps/$pkg-$version"
    echo "$pkg $version: built ($((SECONDS - start)) s)"
    return
  done

  [ -n "$built" ] ||
    die "$pkg: none of the versions apt lists could be downloaded (${versions[*]}); see $log"
  echo "$pkg $built: up to date"
}

# Dependencies first: libpng and libtiff need zlib, libtiff needs libjpeg.
ensure zlib build_zlib
ensure libpng1.6 build_libpng
ensure libjpeg-turbo build_libjpeg_turbo
ensure tiff build_tiff
ensure giflib build_giflib
ensure benchmark build_benchmark
