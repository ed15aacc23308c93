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

# Static checks of the portable core, then each fuzz target for a bounded time (60 s each
# unless QUILLORA_FUZZ_SECONDS says otherwise).
echo "== static checks"
bash scripts/static-checks.sh
echo "== fuzz"
bash scripts/fuzz.sh

# The Windows build: quillora.exe, its unit tests under Wine and the end-to-end tests, which
# start their own virtual X server and Wine prefix.
echo "== windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows

# The same for the 32-bit build, with its own build folder and Wine prefix.
echo "== windows-x86"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"
ctest --preset windows-x86

# The release, built twice from the committed sources and compared; the checks of what ships;
# and every shipped executable started from its unpacked zip under Wine.
echo "== release"
bash tests/release/run.sh
