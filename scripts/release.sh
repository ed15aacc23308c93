#!/usr/bin/env bash
# Makes the Windows downloads from the committed sources:
#
#   bash scripts/release.sh [--out DIR] [--work DIR]
#
# writes quillora-<version>-windows-x64.zip, quillora-<version>-windows-x86.zip and SHA256SUMS
# into DIR (default: dist/). The sources of HEAD are exported into a fresh folder (--work, or
# a temporary one that is removed afterwards) and built there with the presets release-x64
# and release-x86, which are the test presets windows and windows-x86 plus what makes the
# executables stripped and reproducible. The same commit gives the same bytes, in any folder,
# at any time (tests/release/reproducible.sh checks that).
#
# With uncommitted changes to tracked files it still builds, from the working tree as it is,
# and marks the packages "-dirty": they are not the committed sources. Untracked files are
# never part of a release.
set -euo pipefail

usage() {
  echo "usage: bash scripts/release.sh [--out DIR] [--work DIR]" >&2
  exit 2
}

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$repo/dist"
work=""
while [ $# -gt 0 ]; do
  case "$1" in
    --out) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    --work) [ $# -ge 2 ] || usage; work=$2; shift 2 ;;
    *) usage ;;
  esac
done
# Folders given on the command line are relative to where the script was started.
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
case "$work" in /* | "") ;; *) work="$PWD/$work" ;; esac

# Every tool the release needs, with the Debian package that brings it.
missing=()
need() {
  command -v "$1" >/dev/null 2>&1 || missing+=("$1 (Debian package $2)")
}
need git git
need cmake cmake
need ninja ninja-build
need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
need x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
need i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix
need i686-w64-mingw32-windres binutils-mingw-w64-i686
need python3 python3
need sha256sum coreutils
if [ ${#missing[@]} -gt 0 ]; then
  echo "release: missing tools:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  echo "release: install them with apt-get, or run: bash scripts/setup.sh" >&2
  exit 1
fi

cd "$repo"
git rev-parse --verify -q HEAD >/dev/null || { echo "release: $repo is not a git checkout with a commit" >&2; exit 1; }

# Nothing of this shell may reach the build: no flags from the environment, one locale, one
# time zone, one umask.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS RCFLAGS MAKEFLAGS CMAKE_GENERATOR CMAKE_BUILD_PARALLEL_LEVEL
export LC_ALL=C TZ=UTC
umask 022

commit=$(git rev-parse HEAD)
tree=$commit
suffix=""
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  # A commit object of the working tree, made without touching the index or the tree.
  tree=$(git stash create "release of the working tree")
  suffix="-dirty"
  {
    echo "release: ================================================================"
    echo "release: WARNING: the working tree has uncommitted changes."
    echo "release: These packages are NOT the committed sources of $commit;"
    echo "release: they are marked -dirty. Commit, then run this again to make a release."
    echo "release: ================================================================"
  } >&2
fi
untracked=$(git ls-files --others --exclude-standard | wc -l)
if [ "$untracked" -gt 0 ]; then
  echo "release: note: $untracked untracked file(s) are not part of the release" >&2
fi

# The time of every zip entry, and of anything in the build that asks for one: the commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}

if [ -z "$work" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/quillora-release.XXXXXX")
  trap 'rm -rf "$work"' EXIT
else
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  if [ -n "$(ls -A "$work")" ]; then
    echo "release: the work folder $work is not empty" >&2
    exit 1
  fi
fi
src="$work/src"
mkdir -p "$src"
git archive --format=tar "$tree" | tar -x -C "$src"

version=$(sed -n 's/^#define QUILLORA_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]\+\)$/\2/p' "$src/app/version.h" | paste -sd.)
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "release: cannot read the version from app/version.h (got '$version')" >&2
  exit 1
fi
name="quillora-$version$suffix"

shipped=$(python3 "$src/scripts/release_pack.py" shipped)
mapfile -t targets < <(awk '{print $2}' <<<"$shipped")
jobs=${QUILLORA_JOBS:-$(nproc)}

echo "release: $name from ${commit:0:12}$suffix, built in $work"
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/quillora-*-windows-*.zip "$out/SHA256SUMS"
zips=()
for arch in x64 x86; do
  echo "== release-$arch: ${targets[*]}"
  (cd "$src" && cmake --preset "release-$arch" >/dev/null && \
    cmake --build --preset "release-$arch" -j "$jobs" --target "${targets[@]}")
  zip="$name-windows-$arch.zip"
  python3 "$src/scripts/release_pack.py" zip --out "$out/$zip" --folder "$name" \
    --version "$version" --epoch "$SOURCE_DATE_EPOCH" --exes "$src/build/release-$arch/bin" \
    --source "$src"
  zips+=("$zip")
done
(cd "$out" && sha256sum "${zips[@]}" >SHA256SUMS)

echo "release: wrote into $out:"
(cd "$out" && ls -l "${zips[@]}" SHA256SUMS | awk '{print "  " $5 "  " $9}')
if [ -n "$suffix" ]; then
  echo "release: WARNING: $name is built from uncommitted changes (-dirty)" >&2
fi
