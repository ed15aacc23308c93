#!/usr/bin/env bash
# Builds everything and runs every test: the portable unit tests on Linux (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), then the Windows build with its unit tests
# and end-to-end tests under Wine on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
for preset in host host-asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
