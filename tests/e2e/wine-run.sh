#!/usr/bin/env bash
# Runs a Windows executable under Wine, in the test session's prefix and on its virtual X
# server. CTest uses it as the emulator for every cross-built test:
#
#   wine-run.sh <program.exe> [arguments...]
#
# Environment it reads (all optional):
#   QUILLORA_BUILD_DIR     the build tree; otherwise found upwards from the program's folder
#                          (the folder that holds CMakeCache.txt), else build/windows
#   QUILLORA_WINE_LOCALE   the Unix locale Wine runs under; zh_CN.UTF-8 (ANSI code page 936)
#                          unless a test asks for another, such as en_US.UTF-8 (code page 1252)
#
# With a live session (wine-session.sh start) the program runs on its display. Without one, as
# when this script is started by hand, it uses $DISPLAY if set, or else starts a private Xvfb
# for this one run and stops it afterwards.
set -euo pipefail

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

find_build_dir() {
  if [ -n "${QUILLORA_BUILD_DIR:-}" ]; then
    (cd "$QUILLORA_BUILD_DIR" && pwd)
    return
  fi
  if [ $# -gt 0 ] && [ -e "$1" ]; then
    local dir
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != "/" ]; do
      if [ -f "$dir/CMakeCache.txt" ]; then
        echo "$dir"
        return
      fi
      dir=$(dirname "$dir")
    done
  fi
  local fallback="$script_dir/../../build/windows"
  mkdir -p "$fallback"
  (cd "$fallback" && pwd)
}

if [ $# -eq 0 ]; then
  echo "usage: wine-run.sh <program.exe> [arguments...]" >&2
  exit 2
fi

build_dir=$(find_build_dir "$1")
state_dir="$build_dir/wine-session"

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL="${QUILLORA_WINE_LOCALE:-zh_CN.UTF-8}"

session_display() {
  local pid
  [ -f "$state_dir/display" ] && [ -f "$state_dir/xvfb.pid" ] || return 1
  pid=$(cat "$state_dir/xvfb.pid")
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ] || return 1
  cat "$state_dir/display"
}

# Wine's output goes through a file: Wine starts helper processes (its desktop process, for
# one) that outlive the program by a few seconds and would keep a pipe to CTest open.
run_wine() {
  local out status=0
  out=$(mktemp)
  wine "$@" >"$out" 2>&1 </dev/null || status=$?
  cat "$out"
  rm -f "$out"
  return "$status"
}

if display=$(session_display); then
  export DISPLAY="$display"
  run_wine "$@" && exit 0 || exit $?
fi

if [ -n "${DISPLAY:-}" ]; then
  run_wine "$@" && exit 0 || exit $?
fi

# No session and no display: a private Xvfb for this run only.
fd_file=$(mktemp)
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
cleanup() {
  # Let this prefix's wineserver end on its own (it lingers a few seconds after the last
  # program), then stop our Xvfb.
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$fd_file"
}
trap cleanup EXIT
number=""
for _ in $(seq 200); do
  number=$(tr -dc '0-9' <"$fd_file")
  [ -n "$number" ] && break
  sleep 0.1
done
if [ -z "$number" ]; then
  echo "wine-run: could not start Xvfb" >&2
  exit 1
fi
export DISPLAY=":$number"
status=0
run_wine "$@" || status=$?
exit "$status"
