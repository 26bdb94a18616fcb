#!/usr/bin/env bash
# Runs a Windows program under Wine in the test bench that tools/wine-bench.sh prepared: its
# prefix and its X display. CTest uses it as the cross-compiling emulator.
#   DENSILO_WINE_BENCH  the bench folder; by default <build tree>/wine, the build tree being
#                       the nearest folder above the program that holds a CMakeCache.txt.
set -euo pipefail
[ $# -ge 1 ] || {
  echo "usage: $0 PROGRAM [ARGS...]" >&2
  exit 2
}

bench=${DENSILO_WINE_BENCH:-}
if [ -z "$bench" ]; then
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd || true)
  while [ -n "$dir" ] && [ "$dir" != / ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then
      bench=$dir/wine
      break
    fi
    dir=$(dirname "$dir")
  done
  : "${bench:=$(cd "$(dirname "$0")/.." && pwd)/build/windows/wine}"
fi

mkdir -p "$bench"
bench=$(cd "$bench" && pwd)  # Wine wants an absolute prefix
export WINEPREFIX=$bench/prefix
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=${WINEDEBUG:--all}
# The bench's display wins over the caller's: tests must see the same desktop every time.
if [ -s "$bench/display" ]; then
  DISPLAY=$(cat "$bench/display")
  export DISPLAY
fi
exec wine "$@"
