#!/usr/bin/env bash
# Performance of densilo.exe against the floor (an empty window of the same size and style,
# built in the same tree with the same options), under Wine in the test bench:
#   bash tools/perf.sh [BUILD_DIR] [RUNS]     defaults: build/windows, 5
# Prints each run and the medians: time from process start to the window's first paint, peak
# working set, CPU time while idle for 10 s (music on where there is a MIDI device), and the
# program's size, each beside its goal. A measurement, not a test: it fails only if it
# cannot measure. Not part of tools/test.sh, since the figures depend on the machine's load.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
runs=${2:-5}

cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target densilo densilo_floor densilo_perf_probe

bash tools/wine-bench.sh start "$build/wine"
trap 'bash tools/wine-bench.sh stop "$build/wine"' EXIT
bash cmake/wine-run.sh "$build/tests/win/e2e/densilo_perf_probe.exe" "$build/densilo.exe" \
  "$build/tests/win/e2e/densilo_floor.exe" "$runs" 10 2> >(grep -v '^ALSA' >&2) | tr -d '\r'
