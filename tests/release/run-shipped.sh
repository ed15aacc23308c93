#!/usr/bin/env bash
# Runs what the release zips ship, as a user would: each zip is unpacked into a folder whose
# path holds spaces and Chinese characters, and every shipped executable is started from
# there under Wine. A window program must open, make 10 headlines on a click and write
# config.ini beside itself when closed, with exit code 0 (the end-to-end case "shipped");
# a console program must answer --version and write 10 headlines.
#
#   bash tests/release/run-shipped.sh DIST
#
# The 64-bit zip runs with the driver and Wine prefix of build/windows, the 32-bit zip with
# those of build/windows-x86; both test builds must be there (scripts/test.sh makes them).
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$(pwd)

dist=$(cd "${1:?usage: run-shipped.sh DIST}" && pwd)
version=$(sed -n 's/^#define QUILLORA_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]\+\)$/\2/p' app/version.h | paste -sd.)
shipped=$(python3 scripts/release_pack.py shipped)
unpacked="$repo/build/release-check/unpacked"

session_dir=""
stop_session() {
  if [ -n "$session_dir" ]; then
    bash tests/e2e/wine-session.sh stop "$session_dir" >/dev/null || true
    session_dir=""
  fi
}
trap stop_session EXIT

failures=0
fail() {
  echo "run-shipped: FAIL: $*"
  failures=$((failures + 1))
}

for arch in x64 x86; do
  build="$repo/build/windows"
  [ "$arch" = x86 ] && build="$repo/build/windows-x86"
  driver="$build/bin/quillora_e2e.exe"
  [ -f "$driver" ] || { fail "no end-to-end driver $driver: build the test preset first"; continue; }
  zip=$(ls "$dist"/quillora-*-windows-"$arch".zip)

  folder="$unpacked/下载的 程序 $arch"
  rm -rf "$folder"
  mkdir -p "$folder"
  unzip -q "$zip" -d "$folder"
  name=$(basename "$zip" "-windows-$arch.zip")
  echo "== $(basename "$zip") unpacked into $folder/$name"

  session_dir=$build
  bash tests/e2e/wine-session.sh start "$build"
  export QUILLORA_BUILD_DIR=$build
  while read -r file _ subsystem; do
    exe="$folder/$name/$file"
    [ -f "$exe" ] || { fail "$file is not in $(basename "$zip")"; continue; }
    windows_path="Z:${exe//\//\\}"
    if [ "$subsystem" = gui ]; then
      if bash tests/e2e/wine-run.sh "$driver" shipped "$windows_path"; then
        echo "ok   $arch $file"
      else
        fail "$arch $file: the shipped case failed (above)"
      fi
    else
      out=$(bash tests/e2e/wine-run.sh "$exe" --version 2>&1) && status=0 || status=$?
      if [ "$status" -ne 0 ] || ! grep -qF "$version" <<<"$out"; then
        fail "$arch $file --version: exit $status, output: $out"
      fi
      out=$(bash tests/e2e/wine-run.sh "$exe" -n 10 2>&1) && status=0 || status=$?
      lines=$(grep -c . <<<"$out" || true)
      if [ "$status" -ne 0 ] || [ "$lines" -ne 10 ]; then
        fail "$arch $file -n 10: exit $status, $lines lines: $out"
      else
        echo "ok   $arch $file"
      fi
    fi
  done <<<"$shipped"
  unset QUILLORA_BUILD_DIR
  stop_session
done

if [ "$failures" -gt 0 ]; then
  echo "run-shipped: $failures failure(s)"
  exit 1
fi
echo "run-shipped: every shipped executable ran from its zip"
