#!/bin/sh
# Sets up, builds and starts Ridgemap.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
exec ./build/ridgemap
