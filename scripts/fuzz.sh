#!/bin/sh
# Builds the libFuzzer harnesses of the readers with clang into build-fuzz/ and
# runs each on its seed corpus, one after the other.
# Usage: scripts/fuzz.sh [seconds per harness, default 600]
# New inputs go to build-fuzz/corpus/<harness>, crashes, leaks and hangs to
# build-fuzz/findings/<harness>; the committed seeds in tests/fuzz/corpus are only read.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
jobs=${JOBS:-2}
cxx=${CXX_FUZZ:-clang++-14}

cmake -S . -B build-fuzz -DRIDGEMAP_FUZZ=ON -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIDGEMAP_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target fuzz_section fuzz_setfile

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

status=0
for harness in section setfile; do
  work="build-fuzz/corpus/$harness"
  findings="build-fuzz/findings/$harness"
  mkdir -p "$work" "$findings"
  echo "== fuzz_$harness for $seconds s"
  if ! "build-fuzz/tests/fuzz/fuzz_$harness" "$work" "tests/fuzz/corpus/$harness" \
      -dict=tests/fuzz/xml.dict -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$findings/" 2>&1 | tee "build-fuzz/fuzz_$harness.log"; then
    status=1
  fi
  # tee hides the harness's exit status; a finding leaves an artifact behind.
  if [ -n "$(ls -A "$findings")" ]; then
    echo "fuzz_$harness: findings in $findings"
    status=1
  fi
done
exit $status
