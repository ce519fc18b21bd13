#!/usr/bin/env bash
# Private Wine sessions: a fresh prefix, a private Xvfb display and a
# persistent wineserver, described by a session folder that later calls use.
#
#   wine-env.sh start DIR   make the session in DIR (prints nothing on success)
#   wine-env.sh stop DIR    end its wineserver and Xvfb and remove DIR
#
# DIR/env holds the variables (WINEPREFIX, DISPLAY, ...) to source before any
# wine call. Sourcing this file instead gives the functions wine_session_start
# and wine_session_stop.

# Seconds allowed for wineboot to make a prefix (5 to 9 s is usual).
PAGEWIRE_WINEBOOT_TIMEOUT=${PAGEWIRE_WINEBOOT_TIMEOUT:-180}

pagewire_wine_loader() {
  if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
  elif command -v wine64 >/dev/null; then command -v wine64
  else command -v wine
  fi
}

pagewire_wineserver() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
  else command -v wineserver
  fi
}

# Starts Xvfb on a display it picks itself; prints "DISPLAY_NUMBER PID".
pagewire_start_xvfb() {
  local dir=$1 fifo number pid
  fifo="$dir/xvfb.displayfd"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 7 -nolisten tcp -screen 0 1280x1024x24 \
    7>"$fifo" </dev/null >"$dir/xvfb.log" 2>&1 &
  pid=$!
  if ! read -r -t 20 number <"$fifo"; then
    kill "$pid" 2>/dev/null
    rm -f "$fifo"
    echo "wine-env: Xvfb did not start (see $dir/xvfb.log)" >&2
    return 1
  fi
  rm -f "$fifo"
  echo "$number $pid"
}

# Makes the session; a second attempt follows a failed first one, since a
# wineboot on a loaded machine now and then fails without a lasting cause.
wine_session_start() {
  local attempt
  for attempt in 1 2; do
    pagewire_wine_session_try "$1" && return 0
    echo "wine-env: session start attempt $attempt failed" >&2
  done
  return 1
}

pagewire_wine_session_try() {
  local dir=$1 xv number pid loader server
  mkdir -p "$dir" || return 1
  dir=$(cd "$dir" && pwd)
  loader=$(pagewire_wine_loader)
  server=$(pagewire_wineserver)
  xv=$(pagewire_start_xvfb "$dir") || return 1
  read -r number pid <<<"$xv"
  cat >"$dir/env" <<ENV
export WINEPREFIX='$dir/prefix'
export DISPLAY=':$number'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export WINEARCH=win64
PAGEWIRE_WINE='$loader'
PAGEWIRE_WINESERVER='$server'
PAGEWIRE_XVFB_PID=$pid
ENV
  (
    # shellcheck disable=SC1091
    . "$dir/env"
    mkdir -p "$WINEPREFIX"
    # A persistent server started with its output in a log: wine processes of
    # later calls then never hold a caller's pipes open.
    "$PAGEWIRE_WINESERVER" -p </dev/null >"$dir/wineserver.log" 2>&1
    timeout -k 5 "$PAGEWIRE_WINEBOOT_TIMEOUT" "$PAGEWIRE_WINE" wineboot -i \
      </dev/null >"$dir/wineboot.log" 2>&1 || exit 1
    timeout -k 5 60 "$PAGEWIRE_WINESERVER" -w
    # Without a window manager, hiding a managed window stalls about 2 s.
    timeout -k 5 60 "$PAGEWIRE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /d N /f </dev/null >>"$dir/wineboot.log" 2>&1
  ) || {
    echo "wine-env: wineboot failed; its log:" >&2
    tail -n 20 "$dir/wineboot.log" >&2 2>/dev/null
    wine_session_stop "$dir"
    return 1
  }
}

wine_session_stop() {
  local dir=$1
  [ -f "$dir/env" ] || { rm -rf "$dir"; return 0; }
  (
    set +e  # every step runs, whatever the caller's errexit
    # shellcheck disable=SC1091
    . "$dir/env"
    timeout -k 2 20 "$PAGEWIRE_WINESERVER" -k >/dev/null 2>&1
    if [ -n "${PAGEWIRE_XVFB_PID:-}" ]; then
      kill "$PAGEWIRE_XVFB_PID" 2>/dev/null
      for _ in $(seq 50); do kill -0 "$PAGEWIRE_XVFB_PID" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$PAGEWIRE_XVFB_PID" 2>/dev/null
    fi
    true
  )
  rm -rf "$dir"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -u
  case "${1:-}" in
    start) wine_session_start "${2:?session folder}" ;;
    stop) wine_session_stop "${2:?session folder}" ;;
    *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
  esac
fi
