#!/usr/bin/env bash
# Runs the built test suite again under a comma-decimal locale (de_DE.UTF-8): numbers and
# dates in reports, logs, setup files and wakeline-cli output must not follow the system's
# locale. Uses the build that scripts/test.sh made; builds nothing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "locale_test: de_DE.UTF-8 is missing; generate it as root with:" >&2
    echo "  localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
    exit 1
fi
build="${WAKELINE_BUILD_DIR:-build}"
cd "$here/../$build"
export QT_QPA_PLATFORM=offscreen LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
ctest --output-on-failure -j "${WAKELINE_JOBS:-$(nproc)}" --timeout 300
