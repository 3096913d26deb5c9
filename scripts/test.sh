#!/usr/bin/env bash
# Sets up what is missing, builds Wakeline and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh"
build="${WAKELINE_BUILD_DIR:-build}"
cd "$here/../$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j "${WAKELINE_JOBS:-$(nproc)}" --timeout 300
