#!/usr/bin/env bash
# The Wine test bench: an X display, a Wine prefix with a virtual desktop and the fonts the
# program asks for, and a wineserver kept running so that each Windows program starts quickly.
#
#   tools/wine-bench.sh start BENCHDIR   prepare (or reuse) the bench; quick when it exists
#   tools/wine-bench.sh stop BENCHDIR    stop its wineserver and its X server
#
# BENCHDIR holds everything: prefix/ (the WINEPREFIX), display (the X display to use, read by
# cmake/wine-run.sh), bench.log. An X server is started unless DENSILO_BENCH_DISPLAY names one.
# DENSILO_DESKTOP_SIZE sets the virtual desktop (default 1024x768; "off": windows go straight onto
# the X display, as for a person at a desktop).
set -euo pipefail

usage() {
  echo "usage: $0 start|stop BENCHDIR" >&2
  exit 2
}
[ $# = 2 ] || usage
action=$1
mkdir -p "$2"
bench=$(cd "$2" && pwd)
log=$bench/bench.log

export WINEPREFIX=$bench/prefix
# No Mono or Gecko install prompts; no menu entries or file associations written to $HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=${WINEDEBUG:--all}
desktop_size=${DENSILO_DESKTOP_SIZE:-1024x768}

alive() { [ -s "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

fail() {
  echo "wine-bench: $*; see $log" >&2
  exit 1
}

start_display() {
  if [ -n "${DENSILO_BENCH_DISPLAY:-}" ]; then
    echo "$DENSILO_BENCH_DISPLAY" >"$bench/display"
    return
  fi
  if alive "$bench/xvfb.pid" && [ -s "$bench/display" ]; then
    return
  fi
  rm -f "$bench/display" "$bench/xvfb.pid"
  local number=$bench/xvfb.number
  : >"$number"
  # -displayfd lets Xvfb pick a free display and report it once it accepts clients, so
  # benches of several build trees never collide. Its output goes to the log: a process left
  # holding CTest's pipes would keep the test from finishing.
  # The screen is as large as the virtual desktop, so a capture of the screen is one of it.
  local screen=$desktop_size
  [ "$screen" != off ] || screen=1280x1024
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$number" </dev/null >>"$log" 2>&1 &
  echo $! >"$bench/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$number" ] && break
    alive "$bench/xvfb.pid" || fail "Xvfb did not start"
    sleep 0.1
  done
  [ -s "$number" ] || fail "Xvfb reported no display"
  echo ":$(tr -d '[:space:]' <"$number")" >"$bench/display"
}

# The settings go in with one import of a UTF-16 file: the face name is Chinese (an ANSI file
# would mangle it), and separate edits can leave the desktop with a stale size.
write_settings() {
  local name=Densilo
  {
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' ''
    if [ "$desktop_size" != off ]; then
      printf '%s\r\n' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' "\"Desktop\"=\"$name\"" '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"$name\"=\"$desktop_size\"" ''
    fi
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"微软雅黑"="WenQuanYi Micro Hei"' ''
    # Windows links Chinese fonts behind Tahoma, the face of the default GUI font; this Wine's
    # links name fonts it does not have, so Chinese text in that font would show boxes.
    local link
    link=$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei\0\0' | iconv -f UTF-8 -t UTF-16LE |
      od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//')
    printf '%s\r\n' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
      "\"Tahoma\"=hex(7):$link" ''
  } | iconv -f UTF-8 -t UTF-16LE | {
    printf '\xff\xfe'
    cat
  } >"$bench/settings.reg"
}

make_prefix() {
  # The marker names the settings version: a prefix made with older settings is made again.
  local marker=$WINEPREFIX/.densilo-bench-v2-$desktop_size
  [ -f "$marker" ] && return
  rm -rf "$WINEPREFIX"
  echo "wine-bench: creating the Wine prefix in $WINEPREFIX (about 15 s, once)"
  wineboot -i </dev/null >>"$log" 2>&1 || fail "wineboot failed"
  write_settings
  wine reg import "$(winepath -w "$bench/settings.reg" 2>/dev/null)" </dev/null >>"$log" 2>&1 ||
    fail "reg import failed"
  # This Wine does not read its own fonts folder, so Marlett (the caption buttons' glyphs)
  # and Tahoma are missing unless the prefix's Fonts folder holds them.
  if [ -d /usr/share/wine/fonts ]; then
    ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  # The desktop settings count only for processes started after them.
  wineserver -k >>"$log" 2>&1 || true
  wineserver -w >>"$log" 2>&1 || true
  touch "$marker"
}

start() {
  start_display
  DISPLAY=$(cat "$bench/display")
  export DISPLAY
  make_prefix
  # A persistent wineserver keeps the desktop and services up between test programs; warm it
  # with one program so the first test does not pay for the start.
  wineserver -p </dev/null >>"$log" 2>&1 || true
  wine cmd.exe /c exit </dev/null >>"$log" 2>&1 || fail "Wine does not start programs"
  echo "wine-bench: ready on display $DISPLAY, prefix $WINEPREFIX"
}

stop() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k >>"$log" 2>&1 || true
    # A server that was busy starting a program can outlive the first request.
    if ! timeout 10 wineserver -w >>"$log" 2>&1; then
      wineserver -k 9 >>"$log" 2>&1 || true
    fi
  fi
  if alive "$bench/xvfb.pid"; then
    kill "$(cat "$bench/xvfb.pid")" || true
  fi
  rm -f "$bench/xvfb.pid" "$bench/display"
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
