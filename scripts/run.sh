#!/usr/bin/env bash
# Sets up what is missing, builds Wakeline and starts it. Arguments go to the program,
# e.g. --program-folder DIR.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh" wakeline
build="${WAKELINE_BUILD_DIR:-build}"
cd "$here/.."
exec "$build/src/wakeline" "$@"
