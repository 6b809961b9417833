#!/bin/sh
# Builds the libFuzzer harnesses with clang into build-fuzz/ and runs each on its
# seed corpus, one after the other: the section reader, the set-file read, and the
# whole open path (read, then every section applied to the twelve editors), where
# an input taking more than 2 s or 512 MB is a finding too.
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
cmake --build build-fuzz -j"$jobs" --target fuzz_section fuzz_setfile fuzz_open

# A small quarantine keeps the resident size near what the program itself holds,
# which the open-path harness limits.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"

status=0
for harness in section setfile open; do
  work="build-fuzz/corpus/$harness"
  findings="build-fuzz/findings/$harness"
  mkdir -p "$work" "$findings"
  seeds="tests/fuzz/corpus/$harness"
  limits="-timeout=10 -rss_limit_mb=2048"
  if [ "$harness" = open ]; then
    seeds=tests/fuzz/corpus/setfile
    limits="-timeout=2 -rss_limit_mb=512"
  fi
  echo "== fuzz_$harness for $seconds s"
  # shellcheck disable=SC2086 # limits holds two options
  if ! "build-fuzz/tests/fuzz/fuzz_$harness" "$work" "$seeds" \
      -dict=tests/fuzz/xml.dict -max_total_time="$seconds" $limits \
      -max_len=65536 -print_final_stats=1 \
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
