#!/bin/sh
# Builds Ridgemap with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there; any report fails the run.
# Needs the packages scripts/setup.sh installs.
set -e
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
start=$(date +%s)
cmake -S . -B build-asan -DRIDGEMAP_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build-asan -j"$jobs"
built=$(date +%s)
cd build-asan
# The sanitizer options come from the test properties (tests/CMakeLists.txt).
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" || status=$?
end=$(date +%s)
echo "sanitizer build: $((built - start)) s, suite: $((end - built)) s"
exit $status
