#!/usr/bin/env bash
# Starts and stops the virtual X server and the Wine prefix that the Windows tests run in.
#
#   wine-session.sh start <build dir>   Xvfb on a free display, a persistent wineserver and a
#                                       booted prefix; the display goes into the state folder
#   wine-session.sh stop <build dir>    ends that wineserver and that Xvfb, nothing else
#
# State lives in <build dir>/wine-session; the prefix is <build dir>/wineprefix.
set -euo pipefail

action=${1:?usage: wine-session.sh start|stop <build dir>}
build_dir=$(cd "${2:?usage: wine-session.sh start|stop <build dir>}" && pwd)
state_dir="$build_dir/wine-session"
prefix="$build_dir/wineprefix"

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=zh_CN.UTF-8

# The recorded Xvfb, if it is still the one we started.
recorded_xvfb() {
  local pid
  [ -f "$state_dir/xvfb.pid" ] || return 1
  pid=$(cat "$state_dir/xvfb.pid")
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ] || return 1
  echo "$pid"
}

stop_session() {
  if [ -d "$prefix" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  local pid
  if pid=$(recorded_xvfb); then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$state_dir/xvfb.pid" "$state_dir/display" "$state_dir/displayfd"
}

start_session() {
  mkdir -p "$state_dir"
  # A session left over from an interrupted run is ended first.
  stop_session

  # -displayfd picks a free display and writes its number once the server accepts clients.
  : >"$state_dir/displayfd"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$state_dir/displayfd" >"$state_dir/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state_dir/xvfb.pid"
  local number=""
  for _ in $(seq 200); do
    number=$(tr -dc '0-9' <"$state_dir/displayfd")
    [ -n "$number" ] && break
    if ! recorded_xvfb >/dev/null; then
      echo "wine-session: Xvfb did not start:" >&2
      cat "$state_dir/xvfb.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  if [ -z "$number" ]; then
    echo "wine-session: Xvfb gave no display number" >&2
    stop_session
    exit 1
  fi
  export DISPLAY=":$number"

  # One wineserver for the whole session, so that every test does not pay for its start and
  # for Wine's own system processes; `stop` ends it.
  local log="$state_dir/wine.log"
  : >"$log"
  mkdir -p "$prefix"
  wineserver -p >>"$log" 2>&1 </dev/null
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-session: creating the Wine prefix $prefix (takes a while the first time)"
    wineboot -i >>"$log" 2>&1 </dev/null
  else
    wineboot >>"$log" 2>&1 </dev/null
  fi
  # There is no window manager on the virtual screen: with managed windows Wine waits two
  # seconds for one at every window's destruction.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 </dev/null
  echo "$DISPLAY" >"$state_dir/display"
  echo "wine-session: Xvfb $DISPLAY (pid $(cat "$state_dir/xvfb.pid")), prefix $prefix"
}

case "$action" in
  start) start_session ;;
  stop) stop_session; echo "wine-session: stopped" ;;
  *) echo "usage: wine-session.sh start|stop <build dir>" >&2; exit 2 ;;
esac
