#!/usr/bin/env bash
# Builds quillora.exe and starts it under Wine. Without a display it starts a virtual X server
# (Xvfb) and a Wine desktop on it, and says how to take a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target quillora -j "$(nproc)"

# The program keeps config.ini beside its executable: run a copy in a folder of its own.
run_dir="$root/build/run"
mkdir -p "$run_dir"
cp build/windows/bin/quillora.exe "$run_dir/"

export WINEPREFIX="$root/build/wineprefix-run" WINEDEBUG=-all
# Wine takes its ANSI code page from the locale; zh_CN.UTF-8 gives code page 936.
export LC_ALL="${QUILLORA_LOCALE:-zh_CN.UTF-8}"

# Windows links the GUI font to its Chinese fonts; Wine's prefix has none of those, so point
# their names at the Chinese font installed on this machine (only matters outside zh_CN).
if [ ! -f "$WINEPREFIX/.quillora-fonts" ]; then
  for font in SimSun "MS UI Gothic" "Microsoft YaHei"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "WenQuanYi Micro Hei" /f \
      >/dev/null 2>&1 || true
  done
  touch "$WINEPREFIX/.quillora-fonts"
fi

if [ -z "${DISPLAY:-}" ]; then
  display=":${QUILLORA_DISPLAY:-47}"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY="$display"
  sleep 1
  echo "Quillora runs on the virtual display $display."
  echo "  screenshot: DISPLAY=$display import -window root quillora.png"
  echo "  close it:   DISPLAY=$display xdotool key Escape   (or Ctrl+C here)"
  wine explorer /desktop=quillora,1024x768 "$run_dir/quillora.exe"
else
  wine "$run_dir/quillora.exe"
fi
