#!/usr/bin/env bash
# Saves a PNG of the Wine bench's virtual desktop, or of one window on it.
#   tools/capture-desktop.sh [-w TITLE] OUT.png [BENCHDIR]
# BENCHDIR defaults to build/windows/wine, the bench the Windows tests use.
set -euo pipefail
title=
if [ "${1:-}" = -w ]; then
  title=$2
  shift 2
fi
[ $# -ge 1 ] || {
  echo "usage: $0 [-w TITLE] OUT.png [BENCHDIR]" >&2
  exit 2
}
out=$1
bench=${2:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/wine}
if [ -s "$bench/display" ]; then
  DISPLAY=$(cat "$bench/display")
  export DISPLAY
fi
[ -n "${DISPLAY:-}" ] || {
  echo "capture-desktop: no display; start the bench first (tools/wine-bench.sh start)" >&2
  exit 1
}

target=root
if [ -n "$title" ]; then
  # Wine gives each top-level window of the virtual desktop an X window with the same title.
  target=$(xwininfo -root -tree | awk -v t="\"$title\": (" 'index($0, t) { print $1; exit }')
  [ -n "$target" ] || {
    echo "capture-desktop: no window titled \"$title\" on $DISPLAY" >&2
    exit 1
  }
fi
import -window "$target" "$out"
