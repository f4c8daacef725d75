#!/bin/sh
# scripts/build.sh <build-dir> [cmake options...]: configures once, then builds.
set -e
dir="$1"; shift
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" -j "${ZELK_JOBS:-2}"
