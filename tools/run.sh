#!/usr/bin/env bash
# Builds densilo.exe and starts it under Wine.
#
# With a display (DISPLAY set) the window opens there, as it would on Windows. Without one the
# program runs on a private X server in a Wine virtual desktop; once its window is up a
# screenshot is saved (build/windows/densilo-screenshot.png) so even a headless first run shows
# the program working. Either way it runs until the window is closed or Ctrl+C is pressed,
# which stops the program, Wine and the X server.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/deps.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target densilo
exe=$root/build/windows/densilo.exe
screenshot=$root/build/windows/densilo-screenshot.png

if [ -n "${DISPLAY:-}" ]; then
  bench=$root/build/windows/wine-display
  export DENSILO_BENCH_DISPLAY=$DISPLAY DENSILO_DESKTOP_SIZE=off
else
  bench=$root/build/windows/wine-run
fi

app=
stop() {
  trap - EXIT INT TERM
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then
    kill "$app" 2>/dev/null || true
    # Let it go before its X server does, or it complains about the broken connection.
    wait "$app" 2>/dev/null || true
  fi
  bash tools/wine-bench.sh stop "$bench"
}
trap stop EXIT
trap 'stop; exit 130' INT TERM

bash tools/wine-bench.sh start "$bench"
if [ -n "${DENSILO_BENCH_DISPLAY:-}" ]; then
  DENSILO_WINE_BENCH=$bench cmake/wine-run.sh "$exe" &
else
  # Headless, Wine's own chatter (no sound device, the X server going away at the end) would
  # only bury the lines below; it goes to a log.
  DENSILO_WINE_BENCH=$bench cmake/wine-run.sh "$exe" >"$bench/program.log" 2>&1 &
fi
app=$!

if [ -z "${DENSILO_BENCH_DISPLAY:-}" ]; then
  echo "run: no display here; densilo.exe runs on the virtual X display $(cat "$bench/display")"
  shown=0
  for _ in $(seq 60); do
    if bash tools/capture-desktop.sh -w Densilo "$screenshot" "$bench" 2>/dev/null; then
      shown=1
      break
    fi
    kill -0 "$app" 2>/dev/null || break
    sleep 0.5
  done
  if [ $shown = 1 ]; then
    # The first capture can come before the first paint; take the one to keep a moment later.
    sleep 1
    bash tools/capture-desktop.sh -w Densilo "$screenshot" "$bench"
    echo "run: the window is up; screenshot saved to $screenshot"
  else
    echo "run: the window did not appear" >&2
  fi
  echo "run: Wine's messages go to $bench/program.log; press Ctrl+C to stop"
fi

status=0
wait "$app" || status=$?
exit $status
