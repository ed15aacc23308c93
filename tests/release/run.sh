#!/usr/bin/env bash
# The release tests that scripts/test.sh runs, after the test builds of both presets:
#   1. the release is built twice, in two folders, and both give the same bytes;
#   2. what it ships passes every check (zip layout, texts, each executable's PE header,
#      imports, version resource and manifest, SHA256SUMS);
#   3. those checks do catch spoilt releases;
#   4. every shipped executable runs under Wine from its unpacked zip.
set -euo pipefail
cd "$(dirname "$0")/../.."

top=build/release-check
dist=$top/a/dist
status=0
echo "== release: reproducible"
bash tests/release/reproducible.sh "$top"
echo "== release: checks of what ships"
python3 tests/release/check_release.py dist "$dist" || status=1
echo "== release: the checks catch spoilt releases"
python3 tests/release/check_release_test.py "$dist" build/windows/bin/quillora.exe || status=1
echo "== release: shipped executables under Wine"
bash tests/release/run-shipped.sh "$dist" || status=1
exit "$status"
