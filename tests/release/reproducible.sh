#!/usr/bin/env bash
# Checks that the release is reproducible: builds it twice, in two different folders, with a
# different time zone, umask and locale around it, and compares the results byte for byte.
# On a difference it names the file, and inside a zip the member, that differs.
#
#   bash tests/release/reproducible.sh [FOLDER]
#
# FOLDER (default build/release-check) gets the two runs, a/ and second-run/, each with its
# dist/ and its work folder; a/dist is the release that the other checks then look at.
set -euo pipefail
cd "$(dirname "$0")/../.."

top=${1:-build/release-check}
rm -rf "$top/a" "$top/second-run"
mkdir -p "$top/a" "$top/second-run"
top=$(cd "$top" && pwd)

start=$(date +%s)
bash scripts/release.sh --work "$top/a/work" --out "$top/a/dist"
middle=$(date +%s)
# Later, elsewhere, under another zone, umask and locale.
sleep 1
(umask 077 && TZ=Asia/Shanghai LC_ALL=zh_CN.UTF-8 \
  bash scripts/release.sh --work "$top/second-run/work/deeper" --out "$top/second-run/dist")
end=$(date +%s)
echo "reproducible: the two release runs took $((middle - start)) s and $((end - middle - 1)) s"

if ! python3 tests/release/check_release.py compare "$top/a/dist" "$top/second-run/dist"; then
  echo "reproducible: FAIL: two builds of the same sources differ (above)"
  exit 1
fi
echo "reproducible: both runs gave"
sed 's/^/  /' "$top/a/dist/SHA256SUMS"
