#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian 12 as root.
#   tools/deps.sh native   compilers, GoogleTest, Google Benchmark, libjpeg, clang for fuzzing
#   tools/deps.sh windows  mingw-w64, Wine, Xvfb, fonts, and libjpeg-turbo cross-built from
#                          Debian's source package into build/deps/mingw
# Safe to run again: it installs only what is missing and keeps what it built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

native_pkgs=(cmake make g++ pkg-config libgtest-dev googletest libbenchmark-dev
  libjpeg62-turbo-dev clang libclang-rt-14-dev imagemagick)
windows_pkgs=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nasm dpkg-dev
  googletest wine wine64 xvfb xauth x11-utils fonts-wine fonts-wqy-microhei imagemagick)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

apt_updated=0
apt_update() {
  if [ $apt_updated = 0 ]; then
    as_root apt-get update -qq
    apt_updated=1
  fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} = 0 ] && return 0
  echo "deps: installing ${missing[*]}"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# Source packages are fetched from the same Debian mirror the machine already uses:
# each configured binary entry for this release gets a matching deb-src entry.
enable_deb_src() {
  if apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package:'; then return 0; fi
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local out=/etc/apt/sources.list.d/densilo-deb-src.sources
  local tmp
  tmp=$(mktemp)
  # deb822 stanzas: copy those whose suites belong to this release, as deb-src.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$out" ] || continue
    awk -v rel="$codename" '
      BEGIN { RS = ""; FS = "\n" }
      {
        is_deb = 0; ours = 0
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/ && $i ~ /[[:space:]]deb([[:space:]]|$)/) is_deb = 1
          if ($i ~ /^Suites:/) {
            n = split(substr($i, 8), s, /[[:space:]]+/)
            for (j = 1; j <= n; j++) if (s[j] == rel || index(s[j], rel "-") == 1) ours = 1
          }
        }
        if (!is_deb || !ours) next
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/) print "Types: deb-src"; else if ($i !~ /^#/) print $i
        }
        print ""
      }' "$f" >>"$tmp"
  done
  # One-line format, for machines configured the older way.
  local list=/etc/apt/sources.list.d/densilo-deb-src.list
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && [ "$f" != "$list" ] || continue
    awk -v rel="$codename" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i == rel || index($i, rel "-") == 1) { $1 = "deb-src"; print; next } }' \
      "$f" >>"$tmp.list"
  done
  if [ -s "$tmp.list" ]; then as_root cp "$tmp.list" "$list"; fi
  rm -f "$tmp.list"
  if [ -s "$tmp" ]; then as_root cp "$tmp" "$out"; fi
  rm -f "$tmp"
  as_root apt-get update -qq
  apt_updated=1
}

build_libjpeg_mingw() {
  local prefix=$root/build/deps/mingw
  if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then return 0; fi
  enable_deb_src
  local src=$root/build/deps/src
  mkdir -p "$src"
  if ! ls -d "$src"/libjpeg-turbo-*/ >/dev/null 2>&1; then
    (cd "$src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || (cd "$src" && apt-get source libjpeg-turbo)
  fi
  local dir
  dir=$(ls -d "$src"/libjpeg-turbo-*/ | head -n 1)
  echo "deps: building libjpeg-turbo for mingw-w64 from $dir"
  cmake -S "$dir" -B "$root/build/deps/libjpeg-turbo-mingw" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF \
    -DREQUIRE_SIMD=ON >/dev/null
  cmake --build "$root/build/deps/libjpeg-turbo-mingw" --target jpeg-static -j"$(nproc)" >/dev/null
  cmake --install "$root/build/deps/libjpeg-turbo-mingw" --component lib >/dev/null 2>&1 || true
  cmake --install "$root/build/deps/libjpeg-turbo-mingw" --component include >/dev/null 2>&1 || true
  # Older CMake install components do not split; fall back to copying the two pieces we use.
  mkdir -p "$prefix/lib" "$prefix/include"
  [ -f "$prefix/lib/libjpeg.a" ] || cp "$root/build/deps/libjpeg-turbo-mingw/libjpeg.a" "$prefix/lib/"
  for h in jpeglib.h jmorecfg.h jerror.h; do
    [ -f "$prefix/include/$h" ] || cp "$dir/$h" "$prefix/include/"
  done
  [ -f "$prefix/include/jconfig.h" ] || cp "$root/build/deps/libjpeg-turbo-mingw/jconfig.h" "$prefix/include/"
  check_jpeg_simd "$prefix/lib/libjpeg.a"
}

# The library must carry the real SIMD routines, not the portable fallback that a build without
# nasm would quietly produce.
check_jpeg_simd() {
  local symbols
  symbols=$(x86_64-w64-mingw32-nm -A "$1")
  if ! grep -q ' T jsimd_idct_islow_sse2$' <<<"$symbols" ||
    ! grep -q ' T jsimd_ycc_rgb_convert_avx2$' <<<"$symbols" ||
    ! grep -q ':jsimd\.c\.obj: *U jsimd_idct_islow_avx2$' <<<"$symbols"; then
    echo "deps: $1 lacks the SIMD code" >&2
    rm -f "$1"
    exit 1
  fi
}

case "${1:-native}" in
  native) install_missing "${native_pkgs[@]}" ;;
  windows)
    install_missing "${windows_pkgs[@]}"
    build_libjpeg_mingw
    ;;
  all)
    install_missing "${native_pkgs[@]}" "${windows_pkgs[@]}"
    build_libjpeg_mingw
    ;;
  *) echo "usage: $0 native|windows|all" >&2; exit 2 ;;
esac
