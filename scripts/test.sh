#!/bin/sh
# Sets up, builds and runs the whole test suite without a display.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
