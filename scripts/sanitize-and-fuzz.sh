#!/usr/bin/env bash
# Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer, clang) of the core library
# and its tests, then every libFuzzer target for a bounded time. Any finding fails.
#   FUZZ_SECONDS=600 scripts/sanitize-and-fuzz.sh    # longer runs by hand
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
scripts/install-deps.sh clang libclang-rt-14-dev cmake ninja-build googletest libgtest-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIVOR_GUI=OFF -DMIVOR_BENCH=OFF -DMIVOR_SANITIZE=ON -DMIVOR_FUZZ=ON >/dev/null
ninja -C build-fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-fuzz --output-on-failure -j "$(nproc)"
for target in build-fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  case "$target" in *_replay) continue ;; esac
  name=$(basename "$target"); corpus=tests/corpus/${name#fuzz_}
  work=$(mktemp -d)
  echo "== $name for ${seconds}s"
  # New inputs go to a scratch folder; the saved corpus in the repository stays as it is.
  "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" "$work" "$corpus" \
    2>&1 | grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|ERROR|SUMMARY' || true
  if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* >/dev/null 2>&1; then
    echo "$name found a failing input:"; ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null
    exit 1
  fi
  rm -rf "$work"
done
