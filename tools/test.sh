#!/bin/sh
# Installs, builds and runs every test (widget tests run offscreen).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
sh "$root/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "$root/build"
ctest --output-on-failure -j2 --timeout 900
