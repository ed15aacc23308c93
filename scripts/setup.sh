#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quillora needs.
# Safe to run again: it only installs what is missing and asks no questions.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git pkg-config
  libgtest-dev libbenchmark-dev
  clang llvm libclang-rt-14-dev clang-tidy cppcheck
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386 python3 unzip
  wine wine64 xvfb xdotool x11-utils imagemagick
  locales fonts-wqy-microhei fonts-wine
  libcli11-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# Wine runs 32-bit programs with wine32 from the i386 architecture, which a fresh system lacks.
if [[ " ${missing[*]} " == *" wine32:i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture for wine32"
  $SUDO dpkg --add-architecture i386
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936 (GBK),
# en_US.UTF-8 gives 1252. Both are used by the end-to-end tests.
need_locale() { locale -a 2>/dev/null | grep -qi "^$1$"; }
if ! need_locale zh_CN.utf8 || ! need_locale en_US.utf8; then
  for l in "zh_CN.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
    grep -q "^$l" /etc/locale.gen 2>/dev/null || echo "$l" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi
echo "setup: all packages present"
