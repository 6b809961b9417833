#!/bin/sh
# Sets up, builds and runs the whole test suite without a display. Arguments go
# to CMake (CI passes -DRIDGEMAP_WERROR=ON).
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh "$@"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
