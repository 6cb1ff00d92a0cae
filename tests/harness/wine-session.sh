#!/usr/bin/env bash
# Starts or stops the Wine session that every test of one run shares: a fresh
# prefix inside the build tree, booted once, and an Xvfb display when none is set.
#   wine-session.sh start|stop SESSION_DIR [i686|x86_64]
# x86_64 is for machines that cannot execute 32-bit code: the same sources, built for
# 64-bit Windows, run under wine64.
set -euo pipefail
action=$1
session=$2
arch=${3:-i686}
mkdir -p "$session"
prefix=$session/prefix

start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$session/display"
    return
  fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
    echo $! >"$session/xvfb.pid"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    echo ":$n" >"$session/display"
    return
  done
  echo "no free X display number" >&2
  exit 1
}

case "$action" in
  start)
    "$0" stop "$session" || true
    start_display
    rm -rf "$prefix"
    if [ "$arch" = x86_64 ]; then
      winearch=win64
      wine=/usr/lib/wine/wine64
    else
      winearch=win32
      wine=/usr/lib/wine/wine
    fi
    cat >"$session/env" <<ENV
export WINEPREFIX='$prefix'
export WINEDEBUG=-all
export DISPLAY='$(cat "$session/display")'
export WINEARCH=$winearch
export TELVANE_WINE='$wine'
ENV
    # shellcheck disable=SC1091
    . "$session/env"
    WINELOADER="$wine" WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >"$session/wineboot.log" 2>&1
    wineserver -w || true
    echo "wine session ready: prefix $prefix, display $DISPLAY"
    ;;
  stop)
    if [ -f "$session/env" ]; then
      # shellcheck disable=SC1091
      . "$session/env"
      wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -f "$session/xvfb.pid" ]; then
      kill "$(cat "$session/xvfb.pid")" >/dev/null 2>&1 || true
      rm -f "$session/xvfb.pid"
    fi
    ;;
  *)
    echo "usage: $0 start|stop SESSION_DIR" >&2
    exit 2
    ;;
esac
