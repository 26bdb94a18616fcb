#!/usr/bin/env bash
# Runs a Windows program under Wine in the test bench: the build tree's own prefix and the
# Xvfb display that tools/wine-bench.sh prepared. CTest uses it as the cross-compiling emulator.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bench=${DENSILO_WINE_BENCH:-$here/build/windows/wine}
export WINEPREFIX=$bench/prefix
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ] && [ -f "$bench/display" ]; then
  DISPLAY=$(cat "$bench/display")
  export DISPLAY
fi
exec wine "$@"
