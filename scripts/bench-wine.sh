#!/usr/bin/env bash
# Click-to-clipboard time of the real quillora.exe under Wine, side by side with per-line
# appends of the same headlines. Starts its own virtual X server and Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target quillora quillora_click_bench -j "$(nproc)"

export WINEPREFIX="$root/build/wineprefix-bench" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
read -r -t 10 display <&3
export DISPLAY=":$display"
wineboot -i >/dev/null 2>&1 || true
wine build/windows/bin/quillora_click_bench.exe
