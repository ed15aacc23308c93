#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, QUILLORA_FUZZ_SECONDS (default 60)
# each. The fuzzers work on a copy of fuzz/corpus in build/fuzz/corpus, which keeps what they
# find between runs; the repository's seeds are never written to. Fails if any target crashes,
# leaks, times out or fails one of its checks; the input that did it is kept in
# build/fuzz/artifacts/<target>/ and its log in build/fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${QUILLORA_FUZZ_SECONDS:-60}
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

failed=()
for target in count lines escape ini list_file; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  cp fuzz/corpus/$target/* "$corpus/"
  dict=()
  [ -f fuzz/$target.dict ] && dict=(-dict=fuzz/$target.dict)

  echo "== fuzz_$target for ${seconds}s"
  if "$build/bin/fuzz_$target" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  else
    echo "fuzz_$target FAILED; last lines of $log:"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran ${seconds}s without a failure"
