#!/usr/bin/env bash
# Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer, clang) of the core library
# and its tests, then every libFuzzer target for a bounded time. Any finding fails.
#   FUZZ_SECONDS=600 scripts/sanitize-and-fuzz.sh    # longer runs by hand (docs/fuzzing.md)
# A failing input is kept in build-fuzz/findings/<target>/ with the fuzzer's log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}   # per target; eight targets keep CI near four minutes
scripts/install-deps.sh clang libclang-rt-14-dev cmake ninja-build googletest libgtest-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIVOR_GUI=OFF -DMIVOR_BENCH=OFF -DMIVOR_SANITIZE=ON -DMIVOR_FUZZ=ON >/dev/null
ninja -C build-fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-fuzz --output-on-failure -j "$(nproc)"
rm -rf build-fuzz/findings
for target in build-fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  case "$target" in *_replay) continue ;; esac
  name=$(basename "$target"); corpus=tests/corpus/${name#fuzz_}
  work=$(mktemp -d); mkdir "$work/corpus"
  echo "== $name for ${seconds}s"
  # New inputs go to a scratch folder; the saved corpus in the repository stays as it is.
  # One input running 10 s counts as a hang.
  rc=0
  "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" "$corpus" >"$work/log" 2>&1 || rc=$?
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$work/log" || true
  found=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
          -o -name 'oom-*' \) | head -n 1)
  if [ "$rc" -ne 0 ] || [ -n "$found" ]; then
    mkdir -p "build-fuzz/findings/$name"
    cp "$work/log" "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "build-fuzz/findings/$name/" \
      2>/dev/null || true
    tail -n 60 "$work/log"
    echo "$name failed (exit $rc); input and log in build-fuzz/findings/$name/"
    echo "replay: build-fuzz/$name build-fuzz/findings/$name/<input>"
    exit 1
  fi
  rm -rf "$work"
done
