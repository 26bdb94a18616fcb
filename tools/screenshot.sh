#!/usr/bin/env bash
# Takes docs/densilo.png: the real program under Wine in the test bench, after calculating
# 23.8 inches at 1920 x 1080.
#   bash tools/screenshot.sh [BUILD_DIR]     default: build/windows
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}

cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target densilo densilo_screenshot

bash tools/wine-bench.sh start "$build/wine"
trap 'bash tools/wine-bench.sh stop "$build/wine"' EXIT
mkdir -p docs
bash cmake/wine-run.sh "$build/tests/win/e2e/densilo_screenshot.exe" "$build/densilo.exe" \
  "$PWD/docs/densilo.png" 2> >(grep -v '^ALSA' >&2)
echo "wrote docs/densilo.png"
