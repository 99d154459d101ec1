#!/bin/sh
# Installs the packages and builds Tollvane into ./build.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
sh "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j"$(nproc)"
