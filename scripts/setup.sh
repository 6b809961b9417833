#!/bin/sh
# Installs what a fresh Debian 12 machine lacks and builds Ridgemap into build/.
set -e
cd "$(dirname "$0")/.."
packages="build-essential cmake qtbase5-dev qt5-image-formats-plugins libopencv-core-dev libopencv-imgproc-dev xvfb xauth"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y $missing
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j"$(nproc)"
