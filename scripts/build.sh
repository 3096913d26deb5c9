#!/usr/bin/env bash
# Configures and builds Wakeline in ./build (or $WAKELINE_BUILD_DIR). Arguments are targets.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${WAKELINE_BUILD_DIR:-build}"
jobs="${WAKELINE_JOBS:-$(nproc)}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${WAKELINE_CMAKE_ARGS:-} >/dev/null
fi
if [ $# -gt 0 ]; then
    cmake --build "$build" -j "$jobs" --target "$@"
else
    cmake --build "$build" -j "$jobs"
fi
